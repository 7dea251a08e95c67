// Empty: GNUstep's Foundation declares NSObject, and Apple's header of this name, which dispatch
// imports, would declare it a second time.
