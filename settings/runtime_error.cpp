#include "settings/runtime_error.h"

namespace zorvane {

const char* ErrorKindName(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::Overflow:
      return "overflow";
    case ErrorKind::FileNotFound:
      return "file-not-found";
    case ErrorKind::InputPastEnd:
      return "input-past-end";
    case ErrorKind::Bitmap:
      return "bitmap";
    case ErrorKind::Other:
      break;
  }
  return "other";
}

}  // namespace zorvane
