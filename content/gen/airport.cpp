#include "content.h"
namespace content { void makeAirport() {} void makeClouds() {} }
