#pragma once

namespace skelvin {

class Prompter;
class SettingsStore;

// Offers to put back the install values of the settings that can keep the system from
// starting (video directory, barefoot timing, capture choices, grid files). Asks twice before
// anything, then key by key.
void EmergencyParameterReset(SettingsStore &settings, Prompter &prompter);

} // namespace skelvin
