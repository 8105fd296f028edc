#include "content.h"
namespace content { void makeOverlays() {} }
