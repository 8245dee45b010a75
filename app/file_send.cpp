#include "app/file_send.h"

#include "app/send_job.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

SendOutcome SendFile(const FileSend& file, const FileSendContext& context,
                     const SendWorker& worker) {
  AppState& state = context.state;
  MediaFile media;
  if (!PrepareSend(state, file.titleLength, file.row, file.path)) {
    context.log.Begin();
    ShowWarning(context.ui, GetText(TXT_NO_OBJECT_FILE));
  } else if (LoadObjectFile(state, media, context.ui, context.log, file.fit.FitsPictures()) &&
             FitForHandset(media, state, file.name, file.fit, context.lineSpeeds.speeds[0],
                           context.ui, context.log)) {
    return worker(media);
  }
  return UnsentOutcome(state, context.log);
}

}  // namespace vandrel
