#include "content.h"
namespace content { void makeLogo() {} }
