#include "test_db.h"
