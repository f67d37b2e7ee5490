// The engine fixture of the data tests (SQLite always, PostgreSQL when a server is given), built
// into this test program as well.
#include "tests/data/MotorDatos.cpp"
