// An old name of the runtime header, which GNUstep's headers still include.
#include <objc/runtime.h>
