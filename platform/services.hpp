// The platform services one running program hands to its routines.
#pragma once

#include "platform/file_system.hpp"
#include "platform/media.hpp"
#include "platform/shell.hpp"
#include "platform/window_services.hpp"

namespace platform {

struct Services {
  FileSystem& files;
  WindowServices& window;
  Media& media;
  Shell& shell;
};

}  // namespace platform
