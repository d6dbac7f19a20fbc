// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillon {

class Dialogs;
class FileLocations;
class MainForm;
class SerialControl;

// The serial line's own settings in the dialling properties, RTSCTS (on
// by default) and IGNOREMODEMLINES (off by default) in the [Quillon]
// section of quillon.ini: each menu item shows its setting, and choosing it
// turns it over, keeps it and applies it. Flow control changes on the open
// line where the line lets it; the rest waits for the port's next opening,
// and a box says so.
class LineOptions {
public:
    LineOptions(Dialogs& dialogs, const FileLocations& files, MainForm& form, SerialControl& comm)
        : dialogs_(dialogs), files_(files), form_(form), comm_(comm) {}

    void load_settings();
    void mnurtscts_Click();
    void mnuignorelines_Click();

private:
    void not_yet(const char* what);

    Dialogs& dialogs_;
    const FileLocations& files_;
    MainForm& form_;
    SerialControl& comm_;
};

} // namespace quillon
