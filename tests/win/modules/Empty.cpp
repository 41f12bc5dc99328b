// A module with nothing in it but what its resource file gives it.
int VelmoraTestModuleMarker = 0;
