#pragma once
// The program's link to the indicator: every window's requests go through this one object.

class Enlace;

Enlace& EnlaceDelPrograma();
