#include "picture/jpeg_errors.h"

namespace vandrel {
namespace {

[[noreturn]] void GiveUp(j_common_ptr common) {
  std::longjmp(reinterpret_cast<JpegErrorRecord*>(common->err)->back, 1);
}
void Ignore(j_common_ptr, int) {}
void Ignore(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* UseJpegErrorRecord(JpegErrorRecord& record) {
  jpeg_error_mgr* manager = jpeg_std_error(&record.manager);
  manager->error_exit = GiveUp;
  manager->emit_message = Ignore;
  manager->output_message = Ignore;
  return manager;
}

}  // namespace vandrel
