// Foundation declares NSObject itself; Apple's runtime header of that name would declare it twice.
