// The one application object of the test program, as the console has one.
#include "app/TesselTestApp.h"

CTesselTestApp testApp;
