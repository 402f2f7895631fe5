#include "../include/UserData.h"
#include "ComServerPathCheck.h"

bool CheckCOMServerRelativePaths() { return userdata::ComServerPathsAreRelative(); }
