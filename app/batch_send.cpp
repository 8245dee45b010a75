#include "app/batch_send.h"

#include "app/chosen_file.h"
#include "app/object_title.h"
#include "handset/handset_link.h"
#include "objects/media_file.h"
#include "platform/format_text.h"
#include "platform/user_interface.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

std::optional<int> KindFromExtension(const std::string& path) {
  if (ClassifyGraphic(path) != kNoFormat || GoesOnlyFitted(path)) return kGraphic;
  if (ClassifySound(path) != kNoFormat) return kSound;
  if (ClassifyVCard(path) != kNoFormat) return kVCard;
  return std::nullopt;
}

BatchResult RunBatch(const std::vector<std::string>& files, const BatchOptions& options,
                     const SendContext& send) {
  AppState& state = send.state;
  BatchResult result;
  ObjectKindRow row;
  row.kind = options.kind.value_or(kGraphic);
  const int count = static_cast<int>(files.size());
  // the handset found for one file serves the next, unless the user wants every file on its own
  std::unique_ptr<HandsetLink> keptLink;
  std::unique_ptr<HandsetLink>* kept = send.Waits().DetectsEveryFile() ? nullptr : &keptLink;
  for (int position = 1; const std::string& path : files) {
    const ChosenFile chosen = SplitChosenFile(path);
    const std::string displayName =
        count < 2 ? chosen.name : FormatText("%s (%d/%d)", chosen.name.c_str(), position, count);
    ++position;
    // a file in no list keeps the previous kind, and the send refuses it by its extension
    if (!options.kind) row.kind = KindFromExtension(path).value_or(row.kind);
    const std::string title = CleanObjectTitle(options.title.value_or(chosen.title));
    StoreObjectTitle(title, state);
    bool sent = false;
    MediaFile file;
    if (!PrepareSend(state, title.size(), row, path))
      ShowWarning(send.ui, GetText(TXT_NO_OBJECT_FILE));
    else if (LoadObjectFile(state, file, send.ui, options.fit.FitsPictures()) &&
             FitForHandset(file, state, chosen.name, options.fit, send.lineSpeeds.speeds[0],
                           send.ui))
      sent = RunSendJob(send, file, displayName, kept);
    if (!sent) keptLink.reset();
    ++(sent ? result.sent : result.failed);
    result.sentFiles.push_back(sent);
    if (send.stop.Requested()) {
      // a file that went through before the stop was asked for is sent all the same
      if (!sent) ShowError(send.ui, GetText(options.stoppedText));
      if (send.stop.EndsBatch()) {
        result.stopped = true;
        break;
      }
      send.stop.Lift();
    }
  }
  keptLink.reset();
  // the row lives only as long as the batch
  state.currentObjectType = nullptr;
  return result;
}

}  // namespace vandrel
