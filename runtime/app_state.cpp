#include "runtime/app_state.h"

namespace vandrel {

namespace {
AppState appState;
}  // namespace

AppState& TheAppState() {
  return appState;
}

void ResetAppState() {
  appState.titleLength = 0;
  appState.titleChars.fill(0);
  appState.currentObjectType = nullptr;
  appState.filePath.clear();
  appState.resultPath.clear();
  appState.bytesSent = 0;
  appState.portSelection = nullptr;
  appState.appTitle = kAppTitle;
  appState.language = 0;
  appState.fileCount = 0;
  appState.fileList.clear();
  appState.traceEnabled = false;
  appState.batchMode = false;
  appState.patientWaits = false;
  appState.sending = false;
}

}  // namespace vandrel
