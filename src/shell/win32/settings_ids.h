// The settings box and its controls, as kelvarin.rc and the code name them.
#pragma once

#define KELVARIN_SETTINGS_BOX 100
#define KELVARIN_SETTINGS_VERSION 101
#define KELVARIN_SETTINGS_EACH 102
#define KELVARIN_SETTINGS_ACROSS 103
