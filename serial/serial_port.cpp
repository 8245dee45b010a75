#include "serial/serial_port.h"

namespace vandrel {

SerialPortTable& ThePortTable() {
  static SerialPortTable table;
  return table;
}

}  // namespace vandrel
