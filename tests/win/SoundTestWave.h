// The id of the sound tests' own "WAVE" resource.
#pragma once

#define IDW_TEST_WAVE 901
