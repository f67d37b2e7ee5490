#pragma once
// The layout tables in the database and the transfers of the letterhead window: the chosen
// layout with its titles, or a free ticket form, written into the indicator's ticket area.

#include <QList>
#include <QString>
#include <array>

#include "data/Tablas.h"
#include "tickets/Ticket.h"

class Enlace;
class Interaccion;

// Layout n of the ticket tables `tickets` (their name without the number).
TablaDatos TablaModelo(const TablaDatos& tickets, int modelo);

// Every row of a layout table in its fixed order (as many as it holds). False with *error when
// the table cannot be read.
bool LeerFilasTicket(const TablaDatos& tabla, QList<FilaTicket>* filas, QString* error);
// The 25 rows, or false with *error naming the table or the row that cannot form a ticket.
bool LeerDisenoTicket(const TablaDatos& tabla, DisenoTicket* diseno, QString* error);
// Writes all 25 rows in one transaction.
bool GuardarDisenoTicket(const TablaDatos& tabla, const DisenoTicket& diseno, QString* error);
// Rows 0 and 1: the two titles (first 79 characters of CAPTION).
bool LeerTitulos(const TablaDatos& tabla, std::array<QString, 2>* titulos, QString* error);
bool GuardarTitulos(const TablaDatos& tabla, const std::array<QString, 2>& titulos, QString* error);

// The last stored weighing of the weighing table, for previews; false when there is none.
bool LeerUltimaPesada(const TablaDatos& reporte, MuestraTicket* muestra);

enum class ResultadoEnvio { Rechazado, Enviado, Fallo };

// Save: the settings, then the titles into rows 0 and 1 of layout ModTicket. Database failures
// are told to the operator; false then.
bool GuardarMembrete(Interaccion& op, const TablaDatos& tickets, const AjustesMembrete& ajustes,
                     const std::array<QString, 2>& titulos);

// "Cargar": asks, saves, then transfers layout ModTicket (TransferirTicket).
ResultadoEnvio CargarTicket(Enlace& enlace, Interaccion& op, const TablaDatos& tickets,
                            const AjustesMembrete& ajustes, const std::array<QString, 2>& titulos);
// Reads layout ModTicket, builds the ticket record and writes it at DirMembrete. A layout that
// cannot form a record is refused with a message naming the row; nothing is sent then.
ResultadoEnvio TransferirTicket(Enlace& enlace, Interaccion& op, const TablaDatos& tickets,
                                const AjustesMembrete& ajustes);

// The free ticket form of the letterhead window: asks, lets the operator choose the file, sends
// byte 255 + file + NUL at DirMembrete. Files over 1024 bytes are refused before sending.
ResultadoEnvio CmdFormulario(Enlace& enlace, Interaccion& op);
ResultadoEnvio EnviarFormulario(Enlace& enlace, Interaccion& op, const QString& archivo);
// The main window's short form (Mirto model): file + NUL at register 26, at most 75 bytes.
ResultadoEnvio FormularioPrincipal(Enlace& enlace, Interaccion& op);
ResultadoEnvio EnviarFormularioCorto(Enlace& enlace, Interaccion& op, const QString& archivo);

// A whole file, or the empty text when it is missing or empty. False when it exists but cannot
// be read.
bool Tx(const QString& archivo, QByteArray* contenido);
