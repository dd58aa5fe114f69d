// The process's one platform object.

#include <ravlinpath/Base.h>

// Constant-initialized: no code runs before main, nothing runs at exit.
constinit PathPlatform PathBase::platform{PathPlatform::kindRavlin};
