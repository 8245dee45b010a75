#include "app/batch_send.h"

#include "app/chosen_file.h"
#include "app/file_send.h"
#include "app/object_title.h"
#include "handset/handset_link.h"
#include "platform/format_text.h"
#include "platform/user_interface.h"
#include "runtime/message_catalogue.h"

namespace vandrel {

int BatchResult::Sent() const {
  int sent = 0;
  for (const SendOutcome& outcome : outcomes)
    if (outcome.succeeded) ++sent;
  return sent;
}

int BatchResult::Failed() const {
  return static_cast<int>(outcomes.size()) - Sent();
}

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
    const SendOutcome& outcome = result.outcomes.emplace_back(
        SendFile({.titleLength = title.size(),
                  .row = row,
                  .path = path,
                  .name = chosen.name,
                  .fit = options.fit},
                 {.state = state, .ui = send.ui, .log = send.log, .lineSpeeds = send.lineSpeeds},
                 [&](const MediaFile& file) { return RunSendJob(send, file, displayName, kept); }));
    const bool sent = outcome.succeeded;
    if (!sent) keptLink.reset();
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
