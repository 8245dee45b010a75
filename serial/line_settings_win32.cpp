#include "serial/line_settings_win32.h"

namespace vandrel {

namespace {

// Flow-control thresholds of the line parameters, in bytes of the driver's buffers.
constexpr WORD kXonLimit = 100;
constexpr WORD kXoffLimit = 100;

}  // namespace

DCB LineSettings(const DCB& current, int speed) {
  DCB dcb = current;
  dcb.DCBlength = sizeof(dcb);
  dcb.BaudRate = static_cast<DWORD>(speed);
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  dcb.fOutxCtsFlow = TRUE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
  dcb.fDsrSensitivity = TRUE;
  dcb.fTXContinueOnXoff = FALSE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fNull = FALSE;
  dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
  dcb.fAbortOnError = FALSE;
  dcb.XonLim = kXonLimit;
  dcb.XoffLim = kXoffLimit;
  dcb.ErrorChar = 0;
  dcb.EofChar = 0;
  dcb.EvtChar = 0;
  return dcb;
}

}  // namespace vandrel
