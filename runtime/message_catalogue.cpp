#include "runtime/message_catalogue.h"

#include <atomic>

namespace vandrel {

namespace {

constexpr TextBlock kEnglishTexts = {
    "",
    "About",
    " In progress...",
    " Loading with ADPCM format in progress...",
    " Loading with PCM format in progress...",
    " Transfer initialization ",
    "Object filename must be specified !",
    "Successfull Download",
    "Error",
    "Failed opening file %s",
    "Failed writing in file %s",
    "Failed closing file %s",
    "Failed creating the result directory",
    "Unavailable port %d",
    "Insufficient memory in cell phone",
    "Not enough memory in cell phone",
    "Premature end of connexion with port %d",
    "Wrong port %d parameters",
    "Failed buffer allocation",
    "Failed mutex creation",
    "Failed closing port %d",
    "Failed reading in port %d",
    "Failed writing in port %d",
    "Timeout error in port %d",
    "Unexpected cell phone's reponse",
    "Unexpected cell phone's reponse\nTry to reboot the mobile.",
    "Analysis problem",
    "Error response by cell phone",
    "Mobile phone connexion failure on port %d\n"
    "Check that the mobile is configured in 'Automatic' speed",
    "The handset does not contain a SIM card.",
    "Failed allocating buffer",
    "File %s has bad format",
    "File %s has bad length : %d",
    "",
    "Send file",
    "Downloaded: %d %% of %.1f Kb",
    "This format isn't supported by cell phone",
    "This object isn't supported by cell phone",
    "The cell phone failed writing in Flash memory",
    "The source was empty or invalid",
    "Graphic Files",
    "Sound Files",
    "Animations",
    "vCards",
    "&File",
    "&Open File",
    "&Send File",
    "&Quit",
    "&Settings",
    "&Port",
    "&Language",
    "&English",
    "&French",
    "&Help",
    "&About",
    "Open",
    "Couldn't find your KESTA mobile phone on any of the COM ports",
    "",
    "Found a compliant %shandset on COM%d",
    "This software tool allows object transfers from a PC to a KESTA Tarn-3 or Tarn-5 handset. "
    "These objects can be either Screensavers, Wallpapers or Ringtones.\n"
    "\n"
    "Sounds and pictures may be protected by copyright: before you transfer one, make sure that "
    "you are free to use it, which is your responsibility alone. The maker of this tool accepts "
    "no liability for any cost, damage or loss arising from its use, nor for the content of the "
    "files transferred with it.",
    "",
    "No DATA cable and no IRDA have been detected",
    "A DATA cable has been detected but no handset was found.",
    "A non-compliant cable has been detected.",
    "This port does not exist. Check the BIOS and the Material Profile.",
    "This port is already used by another application.",
    "Unknown error type",
    "This port could not be correctly open.",
    "A modem was found, but it refused to communicate.",
    "A handset without object transfer capability was found.",
    "An error occurred while identifying the handset.",
    "",
    "&Fit to handset",
    "&Always",
    "As&k",
    "&Never",
    "Picture &size",
    "&As it is",
    "%s can be made for the handset.\n"
    "\n"
    "As it is: %d bytes, %s at %d bit/s.\n"
    "For the handset: %d bytes, %s.\n"
    "\n"
    "Send the handset version?",
    "Sending the handset version: %d bytes instead of %d (%s instead of %s at %d bit/s).",
    "with --fit, %d bytes instead of %d (%s instead of %s at %d bit/s)",
    "Interrupted",
    "You may not use this port: its device belongs to the group %s. Add yourself to the group %s "
    "and log in again.",
    "COM%d is not connected; using COM%d for now",
    "&Patient waits",
    "%d sent, %d failed",
    "sent",
    "failed",
    "not a kind of object the handset takes",
    "Open file",
    "Send file",
    "Help",
    "Quit",
    "Looking for the handset on COM%d...",
    "Cancel",
    "%s can be made for the handset.\n"
    "\n"
    "As it is: %d bytes, %s at %d bit/s.\n"
    "For the handset: %d \xC3\x97 %d pixels, %d bytes, %s.\n"
    "\n"
    "Send the handset version?",
    "Stop sending %s?",
    "Stop the files after it too?",
    "Sending cancelled",
    "File %s is a WebP picture, which the handset does not take: with fitting on (--fit, or Fit "
    "to handset set to Always or Ask) it is sent as a PNG fitted to the screen.",
};

constexpr TextBlock kFrenchTexts = {
    "",
    "A propos",
    " Envoi en cours... ",
    " Envoi au format ADPCM en cours... ",
    " Envoi au format PCM en cours... ",
    " Initialisation du transfert ",
    "Un fichier objet doit être sélectionné !",
    "Téléchargement réussi",
    "Erreur",
    "Ouverture du fichier %s impossible",
    "Ecriture dans le fichier %s impossible",
    "Fermeture du fichier %s impossible",
    "Impossible de créer le répertoire résultat",
    "Port %d indisponible",
    "Capacité de stockage du portable insuffisante",
    "Capacité mémoire disponible du portable insuffisante",
    "Fin de connexion prématurée avec le port %d",
    "Mauvais paramétrage du port %d",
    "L'allocation des buffers a échouée",
    "Echec de création des tâches et mutex",
    "Erreur pendant la fermeture du port %d",
    "Erreur de réception port %d",
    "Erreur d'émission port %d",
    "Erreur de timeout sur le port %d",
    "Le mobile a retourné une erreur inattendue.",
    "Le mobile a retourné une erreur inattendue.\n"
    "Essayez d'éteindre et de rallumer le mobile.",
    "Problème d'analyse",
    "Message d'erreur renvoyé par le portable",
    "Echec de connexion avec le téléphone sur le port %d\n"
    "Verifiez que le mobile est bien configuré en vitesse 'Automatique'",
    "Le mobile ne contient pas de carte SIM.",
    "Impossible d'allouer le buffer",
    "Mauvais format du fichier %s",
    "Taille du fichier objet %s invalide : %d",
    "",
    "Envoi du fichier",
    "Téléchargement: %d %% de %.1f Ko",
    "Format non supporté par le mobile",
    "Objet non supporté par le mobile",
    "Erreur d'écriture en mémoire Flash",
    "Fichier vide ou invalide",
    "Fichiers Image",
    "Fichiers Son",
    "Animations",
    "Cartes de visite",
    "&Fichier",
    "&Ouvrir Fichier",
    "&Envoyer Fichier",
    "&Quitter",
    "&Paramétrages",
    "&Port",
    "&Langage",
    "&Anglais",
    "&Français",
    "&Aide",
    "A &Propos de...",
    "Ouvrir",
    "Aucun téléphone mobile KESTA n'a été détecté sur les ports COM",
    "",
    "Un mobile %scompatible a été trouvé sur le port COM%d",
    "Ce logiciel permet le transfert de fichiers sons ou images dans un téléphone mobile Kesta à "
    "partir d'un ordinateur personnel. Ces fichiers peuvent être de format  .bmp, .wbmp, .jpg, "
    ".gif, ems, .midi, .wav,  ou.imelody et respecter les limitations de format et tailles "
    "décrites dans l'aide du programme.\n"
    "\n"
    "Les sons et les images peuvent être protégés par le droit d'auteur : avant d'en transférer "
    "un, assurez-vous que vous avez le droit de l'utiliser, ce qui relève de votre seule "
    "responsabilité. Le fabricant de cet outil décline toute responsabilité pour les frais, "
    "dommages ou pertes liés à son utilisation, ainsi que pour le contenu des fichiers "
    "transférés avec lui.",
    "",
    "Aucun cordon DATA ni lien IRDA n'a été détecté.",
    "Un cordon DATA a été détecté, mais aucun mobile n'est présent.",
    "Un câble non conforme a été détecté. Vous devez utiliser un cordon DATA.",
    "Ce port n'existe pas. Vérifiez le BIOS et le Profil Matériel.",
    "Ce port est utilisé par une autre application.",
    "Type d'erreur inconnu",
    "Ce port n'a pas pu être ouvert correctement.",
    "Un modem a été trouvé mais il n'a pas répondu correctement.",
    "Un mobile a été trouvé mais il ne supporte pas le téléchargement d'objet.",
    "Erreur d'identification du mobile.",
    "",
    "&Adapter au mobile",
    "&Toujours",
    "&Demander",
    "&Jamais",
    "&Taille des images",
    "&Telle quelle",
    "%s peut être adapté au mobile.\n"
    "\n"
    "Tel quel : %d octets, %s à %d bit/s.\n"
    "Adapté au mobile : %d octets, %s.\n"
    "\n"
    "Envoyer la version adaptée au mobile ?",
    "Envoi de la version adaptée au mobile : %d octets au lieu de %d (%s au lieu de %s à %d "
    "bit/s).",
    "avec --fit, %d octets au lieu de %d (%s au lieu de %s à %d bit/s)",
    "Interrompu",
    "Vous n'avez pas le droit d'utiliser ce port : son périphérique appartient au groupe %s. "
    "Ajoutez-vous au groupe %s puis reconnectez-vous.",
    "COM%d n'est pas branché ; COM%d est utilisé pour l'instant",
    "&Attentes patientes",
    "%d envoyé(s), %d en échec",
    "envoyé",
    "en échec",
    "pas un type d'objet que le mobile accepte",
    "Ouvrir le fichier",
    "Envoyer le fichier",
    "Aide",
    "Quitter",
    "Recherche du mobile sur COM%d...",
    "Annuler",
    "%s peut être adapté au mobile.\n"
    "\n"
    "Tel quel : %d octets, %s à %d bit/s.\n"
    "Adapté au mobile : %d \xC3\x97 %d pixels, %d octets, %s.\n"
    "\n"
    "Envoyer la version adaptée au mobile ?",
    "Arrêter l'envoi de %s ?",
    "Arrêter aussi les fichiers suivants ?",
    "Envoi annulé",
    "Le fichier %s est une image WebP, que le mobile ne prend pas : avec l'adaptation au mobile "
    "(--fit, ou Adapter au mobile sur Toujours ou Demander), elle est envoyée en PNG à la taille "
    "de l'écran.",
};

// Read by the send job's thread, switched by the window's.
std::atomic<int> textLanguage{kEnglish};

}  // namespace

void SelectTextLanguage(int language) {
  textLanguage = language;
}

int TextLanguage() {
  return textLanguage;
}

const TextBlock& GetTextBlock(int language) {
  return language == kFrench ? kFrenchTexts : kEnglishTexts;
}

std::string GetText(int number) {
  if (number < 0 || static_cast<std::size_t>(number) >= kTextCount) return {};
  return std::string(GetTextBlock(textLanguage)[static_cast<std::size_t>(number)]);
}

}  // namespace vandrel
