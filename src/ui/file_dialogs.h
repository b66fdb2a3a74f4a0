// How the open dialog of "Neue Datei" and the save dialog of the read-out are
// set up: filter lists in their fixed order, preselection, directory, name.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "config/settings.h"
#include "ui/main_dialog_view.h"

namespace zivivar {

using FilterList = std::vector<std::pair<std::string, std::string>>;

// Positions 1 to 5; the chosen position is kept in ReadFilter.
const FilterList& OpenDialogFilters();
// Positions 1 to 10; position less one is the DataFormat written.
const FilterList& SaveDialogFilters();

// Existing files only, opened in the data directory, ReadFilter preselected.
FileDialogRequest OpenDataFileRequest(const Settings& settings);
// Proposes the current file's base name in the data directory with the
// current format preselected; "hex" is added to a name typed without an
// extension, and an existing file is replaced only after a question.
FileDialogRequest SaveDataFileRequest(const Settings& settings);

}  // namespace zivivar
