#pragma once
// The program's link to the indicator: one ClienteEnlace with one FrmComm view attached, made on
// first use. Every window's requests go through it, from jobs on worker threads
// (app/ui/Trabajo.h); the live weight sends silent requests to the same client.

class ClienteEnlace;
class Enlace;

Enlace& EnlaceDelPrograma();
ClienteEnlace& ClienteDelPrograma();
