#pragma once
// Start and stop of the library's units, each after the units it uses. The program entry and
// the test runners call these two; nothing else starts a unit.
void LibraryStart();
void LibraryStop();
