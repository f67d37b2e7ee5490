#pragma once
// Makes the global variables table the back end of the settings kept "in the database"
// (LeerConfig / GuardarConfig with EnBase). Installed when the data store's connections are
// linked in; callable again at any time.

void InstalarVariablesGlobalesEnBase();
