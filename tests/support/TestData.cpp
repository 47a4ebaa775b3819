#include "support/TestData.h"
