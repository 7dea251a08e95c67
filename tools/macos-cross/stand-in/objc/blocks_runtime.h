// GNUstep's headers ask for the blocks runtime of their own libobjc: Apple's libSystem has it.
#include <stddef.h>
void* _Block_copy(const void* block);
void _Block_release(const void* block);
