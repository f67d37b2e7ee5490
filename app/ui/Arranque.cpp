#include "app/ui/Arranque.h"

bool AbrirVentanaAuto() {
    return false;  // window not built yet
}
