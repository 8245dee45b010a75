#pragma once

#include <optional>
#include <string>
#include <vector>

#include "picture/picture_fitting.h"
#include "platform/user_interface.h"

namespace CLI {
class App;
}

namespace vandrel {

struct CommandSeams;

// What `send` was asked to do. The port, device and language apply to this run only.
struct SendRequest {
  std::optional<int> port;
  std::optional<std::string> device;
  std::optional<int> kind;
  std::optional<int> language;
  std::optional<std::string> title;
  std::optional<std::string> tracePath;
  bool quiet = false;
  bool patient = false;
  // Sounds and pictures made for the handset; without it, a hint when that would help.
  bool fit = false;
  std::optional<PictureSize> pictureSize;  // else the stored one
  std::optional<double> trimSeconds;
  bool normalise = false;
  std::vector<std::string> files;
};

// "128x160" as a screen size; nullopt for anything else.
std::optional<PictureSize> ParsePictureSize(const std::string& text);

// Sends the files in order with the window's settings, then saves the speed list when a file
// went through or the detection reordered it. Returns kExitDone when every file went through,
// kExitFailed otherwise.
int RunSend(const SendRequest& request, const CommandSeams& seams);

// Adds `send` to the command line; running it leaves its exit status in `exitStatus`.
void AddSendCommand(CLI::App& app, const CommandSeams& seams, int& exitStatus);

}  // namespace vandrel
