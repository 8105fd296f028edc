#include "content.h"
namespace content { void makeSounds() {} }
