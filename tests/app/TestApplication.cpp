// The one application object of the test program, as the console has one.
#include "TesselTestApp.h"

CTesselTestApp testApp;
