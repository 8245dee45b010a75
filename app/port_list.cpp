#include "app/port_list.h"

#include "handset/handset_link.h"
#include "platform/format_text.h"
#include "platform/registry_store.h"
#include "platform/user_interface.h"
#include "runtime/message_catalogue.h"
#include "serial/port_map.h"
#include "serial/serial_driver.h"

namespace vandrel {

namespace {

// The port number a value names: its data is exactly "COM<n>" for n in 1..256.
int PortNamed(const RegistryValue& value) {
  const auto text = value.AsString();
  if (!text) return 0;
  for (int port = 1; port <= kPortNumbers; ++port)
    if (*text == FormatText("COM%d", port)) return port;
  return 0;
}

}  // namespace

bool BuildPortList(PortList& list) {
  list = PortList{};
  RegistryStore& store = TheRegistryStore();
  ScopedRegistryKey key(store, store.OpenKey(RegistryRoot::kLocalMachine, kSerialCommKey));
  if (!key) return false;
  // A value that cannot be read is skipped; the ones after it are still listed.
  const std::uint32_t count = store.ValueCount(*key);
  for (std::uint32_t index = 0; index < count; ++index) {
    const auto value = store.EnumValue(*key, index);
    if (!value) continue;
    if (const int port = PortNamed(value->value); port > 0)
      list.present[static_cast<std::size_t>(port)] = true;
  }
  for (int port = 1; port <= kPortNumbers && list.count < kMaxListedPorts; ++port)
    if (list.present[static_cast<std::size_t>(port)])
      list.ports[static_cast<std::size_t>(++list.count)] = port;
  return true;
}

void SelectPort(const PortList& list, int position, PortSelection& selection) {
  const bool listed = position >= 1 && position <= list.count;
  selection.port = listed ? list.ports[static_cast<std::size_t>(position)] : 0;
}

int SelectInitialPort(const PortList& list, PortSelection& selection) {
  int position = 1;
  for (int i = 1; i <= list.count; ++i) {
    if (list.ports[static_cast<std::size_t>(i)] == selection.port) {
      position = i;
      break;
    }
  }
  SelectPort(list, position, selection);
  return position;
}

int AutoSearch(const LinkContext& context, const PortList& list, LineSpeeds& lineSpeeds,
               PortSelection& selection, const SearchWatch& watch) {
  SendStop& stop = watch.stop != nullptr ? *watch.stop : NoSendStop();
  const auto stopped = [&stop] { return stop.Requested(); };
  std::string log;
  std::string model;
  int found = 0;
  {
    HandsetLink link(context);
    for (int position = 1; position <= list.count && found == 0 && !stopped(); ++position) {
      const std::int32_t port = list.ports[static_cast<std::size_t>(position)];
      if (watch.trying) watch.trying(port);
      const SendStop::OnPort stoppable(stop, port);
      if (link.QuickProbe(port, model, lineSpeeds, log)) found = position;
    }
  }
  // a probe cut short may still have heard the handset, but the user has asked for nothing more
  if (stopped()) return 0;
  if (found == 0) {
    ShowPlain(context.ui, GetText(TXT_NOT_FOUND_ANY_PORT) + log);
    return 0;
  }
  SelectPort(list, found, selection);
  ShowPlain(context.ui,
            FormatText(GetText(TXT_FOUND_HANDSET).c_str(), model.c_str(), selection.port));
  return found;
}

void CloseListedPorts(const PortList& list) {
  for (int position = 1; position <= list.count; ++position)
    SerialClose(list.ports[static_cast<std::size_t>(position)]);
}

void ProduceSerialPortKey() {
  TheRegistryStore().ProduceKey(RegistryRoot::kLocalMachine, kSerialCommKey, [] {
    std::vector<NamedRegistryValue> values;
    for (const MappedPort& mapped : MappedSerialPorts())
      values.push_back({mapped.path, RegistryValue::String(FormatText("COM%d", mapped.port))});
    return values;
  });
}

}  // namespace vandrel
