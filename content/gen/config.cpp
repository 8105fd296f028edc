#include "content.h"
namespace content { void makeConfig(const std::string&) {} }
