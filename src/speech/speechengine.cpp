#include "speechengine.h"
#include "soundplayer.h"

// The interfaces carry signals, so their meta-objects are built here.
