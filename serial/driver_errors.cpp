#include <array>

#include "serial/serial_driver.h"
#include "serial/serial_port.h"

namespace vandrel {

namespace {

// The driver's own texts, for whoever reads a code; the link shows catalogue texts instead.
constexpr std::array<const char*, 16> kDriverErrorTexts = {
    "Pas d'erreur",
    "Ouverture du port impossible",
    "Erreur lors du parametrage port",
    "L'allocation des buffers a echouee",
    "Initialisation du Timeout impossible",
    "Echec lors de la creation des taches et mutex ",
    "Erreur lors de l'ecriture du fichier d'ecriture",
    "Fermeture du Port Impossible",
    "Restauration du timeout impossible",
    "Erreur lors de la lecture d'un caractere",
    "Erreur lors de la transmission",
    "Tentative d'envoie pendant la fermeture du port",
    "Aucun cable branché sur ce port série",
    "Cable DATA branché sur ce port série, mais pas de mobile branché",
    "Comportement CTS/DSR anormal",
    "Un cable de rétrofit est branché",
};

}  // namespace

const char* SerialTakeError(int port, int& code) {
  SerialPort* record = ThePortTable().Find(port);
  code = record != nullptr ? record->lastError.exchange(kDriverNoError) : kDriverNoError;
  return code >= 0 && code < static_cast<int>(kDriverErrorTexts.size())
             ? kDriverErrorTexts[static_cast<std::size_t>(code)]
             : nullptr;
}

}  // namespace vandrel
