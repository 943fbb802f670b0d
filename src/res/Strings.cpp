#include "Strings.h"

#include "framework/FileError.h"

#include <QLocale>

#include <unordered_map>

namespace KivStrings {

namespace {

struct Entry
{
    unsigned id;
    const char* de;
    const char* en;
    const char* fr;
};

// German, English-labelled and French tables. The application's 1033 texts are
// kept as stored, Spanish and English mixed.
const Entry kStrings[] = {
    {IDR_MAINFRAME, "Kiv\n\nKiv\nKiv Files (*.kiv)\n.kiv\nKiv.Document\nKiv Document",
     "Kiv\n\nKiv\nKiv Files (*.kiv)\n.kiv\nKiv.Document\nKiv Document",
     "Kiv\n\nKiv\nKiv Files (*.kiv)\n.kiv\nKiv.Document\nKiv Document"},
    {IDS_DELETE_NODE, "Diesen Knoten wirklich löschen?", "¡ Quieres borrar este nodo !",
     "Voulez-vous vraiment supprimer ce nœud ?"},
    {IDS_PREFERENCES, "Optionen", "Preferencia", "Préférence"},
    {IDS_NEW, "Neu", "Nuevo", "Nouveau"},
    {IDS_COL_NAME, "Name", "Nombre", "Nom"},
    {IDS_COL_URL, "Url", "Url", "Url"},
    {IDS_COL_COMMENT, "Kommentar", "Comentario", "Commentaire"},
    {IDS_WRONG_NETSCAPE, "Falscher Dateityp. Netscape-Lesezeichen v1 erwartet.",
     "Wrong file type. Netscape bookmark v1 wanted.",
     "Type de fichier incorrect. Signets Netscape v1 attendus."},
    {IDS_ROOT, "Desktop", "Escritorio", "Bureau"},
    {IDS_TRASH, "Papierkorb", "Papelera", "Corbeille"},
    {IDS_CHECK, "Prüfen", "Comprobar", "Check"},
    {IDS_WRONG_OPERA, "Falscher Dateityp. Opera-Hotlist v2 erwartet.",
     "Wrong file type. Opera hotlist v2 wanted.",
     "Type de fichier incorrect. Hotlist Opera v2 attendue."},
    {IDS_ITEM_COUNT, "Anz: %4d  ", "nb: %4d  ", "nb : %4d  "},
    {IDS_NO_PRINT_DOC, "Datei Zezivezu.viv nicht gefunden!", "File Zezivezu.viv not found!",
     "Fichier Zezivezu.viv introuvable !"},
    {IDS_UNDO_ACTION, "Rückgängig: %1", "Deshacer %1", "Annuler %1"},
    {IDS_REDO_ACTION, "Wiederholen: %1", "Rehacer %1", "Rétablir %1"},
    {IDS_STEP_CHANGE, "Änderung", "cambio", "modification"},
    {IDS_STEP_ADD_BOOKMARKS, "1 Lesezeichen hinzufügen\n%1 Lesezeichen hinzufügen",
     "añadir 1 marcador\nañadir %1 marcadores", "ajouter 1 signet\najouter %1 signets"},
    {IDS_STEP_DELETE_BOOKMARKS, "1 Lesezeichen löschen\n%1 Lesezeichen löschen",
     "eliminar 1 marcador\neliminar %1 marcadores", "supprimer 1 signet\nsupprimer %1 signets"},
    {IDS_STEP_MOVE_BOOKMARKS, "1 Lesezeichen verschieben\n%1 Lesezeichen verschieben",
     "mover 1 marcador\nmover %1 marcadores", "déplacer 1 signet\ndéplacer %1 signets"},
    {IDS_STEP_COPY_BOOKMARKS, "1 Lesezeichen kopieren\n%1 Lesezeichen kopieren",
     "copiar 1 marcador\ncopiar %1 marcadores", "copier 1 signet\ncopier %1 signets"},
    {IDS_STEP_EDIT_BOOKMARK, "Lesezeichen bearbeiten", "editar marcador", "modifier le signet"},
    {IDS_STEP_NEW_FOLDER, "Neuer Ordner", "nueva carpeta", "nouveau dossier"},
    {IDS_STEP_RENAME_FOLDER, "Ordner umbenennen", "renombrar carpeta", "renommer le dossier"},
    {IDS_STEP_MOVE_FOLDER, "Ordner verschieben", "mover carpeta", "déplacer le dossier"},
    {IDS_STEP_DELETE_FOLDER, "Ordner löschen", "eliminar carpeta", "supprimer le dossier"},
    {IDS_STEP_COMPARE, "Vergleichen", "comparar", "comparer"},
    {IDS_STEP_MERGE_BOOKMARKS, "1 Duplikat zusammenführen\n%1 Duplikate zusammenführen",
     "fusionar 1 duplicado\nfusionar %1 duplicados", "fusionner 1 doublon\nfusionner %1 doublons"},
    {IDS_STEP_COPY_TO_CHECK,
     "1 Lesezeichen nach Prüfen kopieren\n%1 Lesezeichen nach Prüfen kopieren",
     "copiar 1 marcador a Comprobar\ncopiar %1 marcadores a Comprobar",
     "copier 1 signet dans Check\ncopier %1 signets dans Check"},
    {IDS_STEP_UPDATE_URLS, "1 Adresse aktualisieren\n%1 Adressen aktualisieren",
     "actualizar 1 dirección\nactualizar %1 direcciones",
     "mettre à jour 1 adresse\nmettre à jour %1 adresses"},
    {IDS_PASTE_DAMAGED,
     "Die Daten in der Zwischenablage sind unvollständig oder beschädigt. Es wurde nichts eingefügt.",
     "The clipboard data is incomplete or damaged. Nothing was pasted.",
     "Les données du presse-papiers sont incomplètes ou endommagées. Rien n'a été collé."},
    {IDS_TOO_DEEP,
     "Ordner können höchstens 99 Ebenen tief verschachtelt werden. Es wurde nichts geändert.",
     "Folders can be nested at most 99 levels deep. Nothing was changed.",
     "Les dossiers ne peuvent être imbriqués que sur 99 niveaux au plus. Rien n'a été modifié."},
    {IDS_PRINT_NOT_STARTED,
     "Der Druck konnte nicht gestartet werden: Kein Programm des Desktops öffnet %1.",
     "Printing could not be started: no program of the desktop opens %1.",
     "L'impression n'a pas pu être lancée : aucun programme du bureau n'ouvre %1."},
    {IDS_MAIL_NOT_STARTED,
     "%1 konnte nicht gesendet werden: Es ließ sich kein E-Mail-Programm starten.",
     "%1 could not be sent: no mail program could be started.",
     "%1 n'a pas pu être envoyé : aucun programme de messagerie n'a pu être lancé."},
    {IDS_REPLACE_FILE, "%1 ist bereits vorhanden.\nSoll die Datei ersetzt werden?",
     "%1 already exists.\nDo you want to replace it?",
     "%1 existe déjà.\nVoulez-vous le remplacer ?"},
    {IDS_URL_IS_OPTION,
     "Die URL dieses Lesezeichens beginnt mit \"-\": Ein Browser würde sie als Option lesen, "
     "nicht als Adresse. Sie wurde nicht geöffnet.",
     "This bookmark's URL begins with \"-\": a browser would read it as an option, not as "
     "an address. It was not opened.",
     "L'URL de ce signet commence par « - » : un navigateur la lirait comme une option, "
     "non comme une adresse. Elle n'a pas été ouverte."},
    {IDS_BAD_FIREFOX,
     "Keine Firefox-Lesezeichendatenbank, oder die Datenbank ist beschädigt. Es wurde nichts importiert.",
     "Not a Firefox bookmark database, or the database is damaged. Nothing was imported.",
     "Ce n'est pas une base de marque-pages Firefox, ou elle est endommagée. Rien n'a été importé."},
    {IDS_BAD_CHROMIUM,
     "Keine Chromium-Lesezeichendatei, oder die Datei ist beschädigt. Es wurde nichts importiert.",
     "Not a Chromium bookmark file, or the file is damaged. Nothing was imported.",
     "Ce n'est pas un fichier de favoris Chromium, ou il est endommagé. Rien n'a été importé."},
    {IDS_BAD_XBEL,
     "Keine XBEL-1.0-Lesezeichendatei, oder die Datei ist beschädigt. Es wurde nichts importiert.",
     "Not an XBEL 1.0 bookmark file, or the file is damaged. Nothing was imported.",
     "Ce n'est pas un fichier de signets XBEL 1.0, ou il est endommagé. Rien n'a été importé."},
    {IDS_IMPORT_TOO_LARGE,
     "Die Datei ist zu groß zum Importieren. Es wurde nichts importiert.",
     "The file is too large to import. Nothing was imported.",
     "Le fichier est trop volumineux pour être importé. Rien n'a été importé."},
    {IDS_IMPORT_TOO_DEEP,
     "Die Datei ist zu tief verschachtelt. Es wurde nichts importiert.",
     "The file is nested too deeply. Nothing was imported.",
     "Le fichier est imbriqué trop profondément. Rien n'a été importé."},
    {IDS_XBEL_ENTITIES,
     "Die Datei deklariert eigene Entitäten; solche Dateien werden nicht gelesen. Es wurde nichts importiert.",
     "The file declares entities of its own; such files are not read. Nothing was imported.",
     "Le fichier déclare ses propres entités ; de tels fichiers ne sont pas lus. Rien n'a été importé."},
    {IDS_NO_PROFILES, "Es wurde kein Browserprofil mit Lesezeichen gefunden.",
     "No browser profile with bookmarks was found.",
     "Aucun profil de navigateur contenant des signets n'a été trouvé."},
    {IDS_NO_SQLITE,
     "Die SQLite-Unterstützung von Qt (libqt6sql6-sqlite) ist nicht installiert.",
     "Qt's SQLite support (libqt6sql6-sqlite) is not installed.",
     "La prise en charge de SQLite par Qt (libqt6sql6-sqlite) n'est pas installée."},
    {IDS_FIREFOX_MENU, "Lesezeichen-Menü", "Bookmarks Menu", "Menu des marque-pages"},
    {IDS_FIREFOX_TOOLBAR, "Lesezeichen-Symbolleiste", "Bookmarks Toolbar", "Barre personnelle"},
    {IDS_FIREFOX_OTHER, "Weitere Lesezeichen", "Other Bookmarks", "Autres marque-pages"},
    {IDS_FIREFOX_MOBILE, "Mobile Lesezeichen", "Mobile Bookmarks",
     "Marque-pages des appareils mobiles"},
    {IDS_CHROMIUM_BAR, "Lesezeichenleiste", "Bookmarks bar", "Barre de favoris"},
    {IDS_CHROMIUM_OTHER, "Weitere Lesezeichen", "Other bookmarks", "Autres favoris"},
    {IDS_CHROMIUM_MOBILE, "Mobile Lesezeichen", "Mobile bookmarks", "Favoris sur mobile"},
    // The same words in every table, as the program has always shown them.
    {IDS_DROP_ON_ITSELF, "An folder can't be dropped onto itself", "An folder can't be dropped onto itself", "An folder can't be dropped onto itself"},
    {IDS_DROP_ON_PARENT, "An folder can't be dropped onto its parent", "An folder can't be dropped onto its parent", "An folder can't be dropped onto its parent"},
    {IDS_DROP_ON_CHECK, "An folder can't be dropped onto Check folder", "An folder can't be dropped onto Check folder", "An folder can't be dropped onto Check folder"},
    {IDS_DROP_ON_CHILD, "An folder can't be dropped onto one of its children", "An folder can't be dropped onto one of its children", "An folder can't be dropped onto one of its children"},

    {IDS_NO_DUPLICATES, "Keine Duplikate gefunden.", "No se encontraron duplicados.",
     "Aucun doublon trouvé."},
    {IDS_MERGE_ASK,
     "%1 Lesezeichen werden zu %2 zusammengeführt; die übrigen kommen in den Papierkorb. "
     "Fortfahren?",
     "Se fusionarán %1 marcadores en %2; los demás irán a la papelera. ¿Continuar?",
     "%1 signets seront fusionnés en %2 ; les autres iront à la corbeille. Continuer ?"},
    {IDS_TRASH_DEAD_ASK, "%1 Lesezeichen mit toten Links in den Papierkorb verschieben?",
     "¿Mover a la papelera %1 marcadores con enlaces muertos?",
     "Déplacer vers la corbeille %1 signets aux liens morts ?"},
    {IDS_LINK_CACHE_FAILED, "Die Prüfergebnisse können nicht gespeichert werden: %1",
     "No se pueden guardar los resultados de la comprobación: %1",
     "Les résultats de la vérification ne peuvent pas être conservés : %1"},
    {IDS_LINKS_PROGRESS, "%1 von %2 geprüft: %3 erreichbar, %4 tot, %5 nicht geprüft",
     "%1 de %2 comprobados: %3 accesibles, %4 muertos, %5 sin comprobar",
     "%1 sur %2 vérifiés : %3 accessibles, %4 morts, %5 non vérifiés"},
    {IDS_UPDATE_REDIRECTS_ASK,
     "%1 Lesezeichen erhalten die URL, auf die sie dauerhaft umgeleitet werden. Fortfahren?",
     "%1 marcadores recibirán la URL a la que redirigen de forma permanente. ¿Continuar?",
     "%1 signets recevront l'URL vers laquelle ils redirigent définitivement. Continuer ?"},
    {IDS_LINK_STATUS_FIRST + 0, "OK", "OK", "OK"},
    {IDS_LINK_STATUS_FIRST + 1, "Umgeleitet", "Redirigido", "Redirigé"},
    {IDS_LINK_STATUS_FIRST + 2, "Nicht mehr vorhanden", "Desaparecido", "Disparu"},
    {IDS_LINK_STATUS_FIRST + 3, "Clientfehler", "Error del cliente", "Erreur du client"},
    {IDS_LINK_STATUS_FIRST + 4, "Serverfehler", "Error del servidor", "Erreur du serveur"},
    {IDS_LINK_STATUS_FIRST + 5, "Name unbekannt (DNS)", "Nombre desconocido (DNS)",
     "Nom inconnu (DNS)"},
    {IDS_LINK_STATUS_FIRST + 6, "Verbindung abgelehnt", "Conexión rechazada", "Connexion refusée"},
    {IDS_LINK_STATUS_FIRST + 7, "Zeitüberschreitung", "Tiempo agotado", "Délai dépassé"},
    {IDS_LINK_STATUS_FIRST + 8, "TLS-Fehler", "Error TLS", "Erreur TLS"},
    {IDS_LINK_STATUS_FIRST + 9, "Netzwerkfehler", "Error de red", "Erreur réseau"},
    {IDS_LINK_STATUS_FIRST + 10, "Umleitungsschleife", "Bucle de redirecciones",
     "Boucle de redirections"},
    {IDS_LINK_STATUS_FIRST + 11, "Nicht geprüft", "Sin comprobar", "Non vérifié"},

    {AFX_IDS_APP_TITLE, "Kiv", "Kiv", "Kiv"},
    {AFX_IDS_IDLEMESSAGE, "Bereit", "Preparado", "Prêt"},
    {AFX_IDS_UNTITLED, "Unbenannt", "Untitled", "Sans titre"},
    {AFX_IDP_ASK_TO_SAVE, "Änderungen in %1 speichern?", "Save changes to %1?",
     "Enregistrer les modifications de %1 ?"},
    {AFX_IDP_FAILED_TO_OPEN_DOC, "Dokument konnte nicht geöffnet werden.",
     "Failed to open document.", "Impossible d'ouvrir le document."},
    {AFX_IDP_FAILED_TO_SAVE_DOC, "Dokument konnte nicht gespeichert werden.",
     "Failed to save document.", "Impossible d'enregistrer le document."},
    {AFX_IDP_FILE_NONE, "Beim Zugriff auf %1 ist ein unbekannter Fehler aufgetreten.",
     "An unknown error occurred while accessing %1.",
     "Une erreur inconnue s'est produite lors de l'accès à %1."},
    {AFX_IDP_FILE_GENERIC, "Beim Zugriff auf %1 ist ein allgemeiner Fehler aufgetreten.",
     "A general error occurred while accessing %1.",
     "Une erreur générale s'est produite lors de l'accès à %1."},
    {AFX_IDP_FILE_NOT_FOUND, "%1 wurde nicht gefunden.", "%1 was not found.",
     "%1 est introuvable."},
    {AFX_IDP_FILE_BAD_PATH, "%1 enthält einen ungültigen Pfad.", "%1 contains an invalid path.",
     "%1 contient un chemin d'accès non valide."},
    {AFX_IDP_FILE_ACCESS_DENIED, "Zugriff auf %1 wurde verweigert.", "Access to %1 was denied.",
     "Accès refusé à %1."},
    {AFX_IDP_FILE_DISKFULL, "%1 konnte nicht geschrieben werden: Der Datenträger ist voll.",
     "%1 could not be written: the disk is full.",
     "%1 n'a pas pu être écrit : le disque est plein."},
    {AFX_IDP_FILE_BAD_FORMAT, "%1: Unerwartetes Dateiformat.", "%1: unexpected file format.",
     "%1 : format de fichier inattendu."},
    {AFX_IDP_FILE_WRITE_GENERIC, "Beim Schreiben von %1 ist ein Fehler aufgetreten.",
     "An error occurred while writing %1.",
     "Une erreur s'est produite lors de l'écriture de %1."},
    {AFX_IDP_FILE_NOT_REGULAR,
     "%1 ist keine gewöhnliche Datei (sondern etwa eine Pipe oder ein Gerät); sie wird weder "
     "gelesen noch ersetzt.",
     "%1 is not a regular file (it is a pipe, a device or the like); it is neither read nor "
     "replaced.",
     "%1 n'est pas un fichier ordinaire (c'est un tube, un périphérique ou autre) ; il n'est ni "
     "lu ni remplacé."},
    {AFX_IDP_FILE_NOT_OURS, "%1 ist keine Kiv-Sammlung. Es wurde nichts geändert.",
     "%1 is not a Kiv collection. Nothing was changed.",
     "%1 n'est pas une collection Kiv. Rien n'a été modifié."},
    {AFX_IDP_FILE_NEWER,
     "%1 wurde von einer neueren Version von Kiv geschrieben und kann nicht geöffnet werden. Es "
     "wurde nichts geändert.",
     "%1 was written by a newer version of Kiv and cannot be opened. Nothing was changed.",
     "%1 a été écrit par une version plus récente de Kiv et ne peut pas être ouvert. Rien n'a "
     "été modifié."},
    {AFX_IDP_FILE_NO_MEMORY, "Nicht genügend Arbeitsspeicher für %1.",
     "Not enough memory for %1.", "Mémoire insuffisante pour %1."},
    {AFX_IDP_FILE_TOO_LARGE, "%1 ist zu groß zum Lesen und wurde übersprungen.",
     "%1 is too large to be read and was skipped.",
     "%1 est trop volumineux pour être lu et a été ignoré."},
};

bool g_forced = false;
Language g_lang = Lang1033;

Language FromLocale()
{
    const QStringList langs = QLocale().uiLanguages();
    const QString first = langs.isEmpty() ? QLocale().name() : langs.first();
    if (first.startsWith(QLatin1String("de")))
        return Lang1031;
    if (first.startsWith(QLatin1String("fr")))
        return Lang1036;
    return Lang1033;
}

}  // namespace

Language CurrentLanguage() { return g_forced ? g_lang : FromLocale(); }

void SetLanguage(Language lang)
{
    g_forced = true;
    g_lang = lang;
}

void ResetLanguage() { g_forced = false; }

QString Load(unsigned id, Language lang)
{
    static const std::unordered_map<unsigned, const Entry*> index = [] {
        std::unordered_map<unsigned, const Entry*> m;
        for (const Entry& e : kStrings)
            m.emplace(e.id, &e);
        return m;
    }();
    const auto it = index.find(id);
    if (it == index.end())
        return {};
    const Entry& e = *it->second;
    return QString::fromUtf8(lang == Lang1031 ? e.de : lang == Lang1036 ? e.fr : e.en);
}

QString Load(unsigned id) { return Load(id, CurrentLanguage()); }

QString FileErrorText(const CFileError& error)
{
    unsigned id = AFX_IDP_FILE_GENERIC;
    switch (error.cause) {
    case CFileError::none: id = AFX_IDP_FILE_NONE; break;
    case CFileError::fileNotFound: id = AFX_IDP_FILE_NOT_FOUND; break;
    case CFileError::accessDenied: id = AFX_IDP_FILE_ACCESS_DENIED; break;
    case CFileError::diskFull: id = AFX_IDP_FILE_DISKFULL; break;
    case CFileError::badFormat: id = AFX_IDP_FILE_BAD_FORMAT; break;
    case CFileError::genericRead: id = AFX_IDP_FILE_GENERIC; break;
    case CFileError::genericWrite: id = AFX_IDP_FILE_WRITE_GENERIC; break;
    case CFileError::invalidPath: id = AFX_IDP_FILE_BAD_PATH; break;
    case CFileError::notRegularFile: id = AFX_IDP_FILE_NOT_REGULAR; break;
    case CFileError::notOurFormat: id = AFX_IDP_FILE_NOT_OURS; break;
    case CFileError::newerFormat: id = AFX_IDP_FILE_NEWER; break;
    case CFileError::outOfMemory: id = AFX_IDP_FILE_NO_MEMORY; break;
    case CFileError::tooLarge: id = AFX_IDP_FILE_TOO_LARGE; break;
    }
    QString text = Load(id);
    if (text.contains(QLatin1String("%1")))
        text.replace(QLatin1String("%1"), error.path);
    return text;
}

}  // namespace KivStrings
