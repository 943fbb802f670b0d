#include "Prompts.h"

#include "Strings.h"
#include "res/Commands.h"

#include <unordered_map>

namespace KivPrompts {

namespace {

struct Entry
{
    const char* de;
    const char* en;
    const char* fr;
};

// The application's prompts keep their stored 1033 texts; the framework's commands
// have their standard prompts.
const std::unordered_map<unsigned, Entry>& Table()
{
    static const std::unordered_map<unsigned, Entry> table = {
        {ID_ITEM_DELETE, {"Ausgewählte Elemente löschen", "Delete selected items",
                          "Supprimer les éléments sélectionnés"}},
        {ID_ITEM_EDIT, {"Element bearbeiten", "Edit Item", "Modifier l'élément"}},
        {ID_EXPORT_NETSCAPE, {"In Netscape-htm-Datei exportieren", "Export  to Netscape htm file",
                              "Exporter vers un fichier htm Netscape"}},
        {ID_PREFERENCES, {"Einstellungen", "Preference", "Préférences"}},
        {ID_EDIT_LABEL, {"Bezeichnung bearbeiten", "Edit label", "Modifier le libellé"}},
        {ID_VIEW_SEARCHBAR, {"Suchleiste ein- oder ausblenden\nSuchleiste ein/aus",
                             "Mostrar u ocultar la barra de busqueda\nToggle SearchBar",
                             "Afficher ou masquer la barre de recherche\nBarre de recherche"}},
        {ID_FIND_NEXT, {"Weitersuchen", "Buscar siguiente", "Rechercher le suivant"}},
        {ID_SEARCH_NAME_PROMPT, {"Im Feld Name suchen", "Buscar en campo Nombre",
                                 "Rechercher dans le champ Nom"}},
        {ID_SEARCH_NAME_PROMPT2, {"Im Namen suchen", "Buscar en Nombre", "Rechercher dans le nom"}},
        {ID_SEARCH_COMMENT, {"Im Feld Kommentar suchen", "Buscar en Campo Comentario",
                             "Rechercher dans le champ Commentaire"}},
        {ID_ITEM_OPEN, {"Lesezeichen im aktuellen Browserfenster öffnen",
                        "Abrir el marcador en el navegador actual",
                        "Ouvrir le signet dans le navigateur actuel"}},
        {ID_EXPORT_IE, {"Als Internet-Explorer-Verknüpfungen exportieren",
                        "Exportar a accesos directos Internet Explorer",
                        "Exporter vers les raccourcis d'Internet Explorer"}},
        {ID_CHECK_NEW, {"Auf neue Lesezeichen prüfen", "Comprobar nuevos marcadores",
                        "Rechercher de nouveaux signets"}},
        {ID_ITEM_OPEN_NEW_WINDOW, {"Lesezeichen in neuem Fenster öffnen",
                                   "Abrir el marcador en nueva ventana",
                                   "Ouvrir le signet dans une nouvelle fenêtre"}},
        {ID_EXPORT_OPERA, {"Nach Opera exportieren", "Exportar a Opera", "Exporter vers Opera"}},
        {ID_IMPORT_OPERA, {"Aus Opera importieren", "Importar de Opera", "Importer depuis Opera"}},
        {ID_PRINT_WORD, {"Lesezeichen nach Microsoft Word exportieren",
                         "Exportar marcadores a Microsoft Word",
                         "Exporter les signets vers Microsoft Word"}},
        {ID_IMPORT_IE, {"Internet-Explorer-Verknüpfungen importieren",
                        "Importar accesos directos de Internet Explorer",
                        "Importer les raccourcis d'Internet Explorer"}},
        {ID_IMPORT_NETSCAPE, {"Netscape-Lesezeichen importieren", "Importar marcadores de Nescape",
                              "Importer les signets Netscape"}},
        {ID_IMPORT_FIREFOX, {"Lesezeichen aus einem Firefox-Profil importieren",
                             "Import bookmarks from a Firefox profile",
                             "Importer les marque-pages d'un profil Firefox"}},
        {ID_IMPORT_CHROMIUM, {"Lesezeichen aus einem Chromium- oder Chrome-Profil importieren",
                              "Import bookmarks from a Chromium or Chrome profile",
                              "Importer les favoris d'un profil Chromium ou Chrome"}},
        {ID_IMPORT_XBEL, {"XBEL-Lesezeichendatei importieren", "Import an XBEL bookmark file",
                          "Importer un fichier de signets XBEL"}},
        {ID_EXPORT_XBEL, {"In XBEL-Lesezeichendatei exportieren", "Export to an XBEL bookmark file",
                          "Exporter vers un fichier de signets XBEL"}},
        {ID_EDIT_DUPLICATES, {"Lesezeichen suchen und zusammenführen, die zu derselben Seite führen",
                              "Buscar y fusionar los marcadores que llevan a la misma página",
                              "Rechercher et fusionner les signets qui mènent à la même page"}},
        {ID_EDIT_CHECK_LINKS, {"Links eines Ordners oder der ganzen Sammlung prüfen",
                               "Comprobar los enlaces de una carpeta o de toda la colección",
                               "Vérifier les liens d'un dossier ou de toute la collection"}},

        {ID_FILE_NEW, {"Neues Dokument erstellen\nNeu", "Create a new document\nNew",
                       "Créer un nouveau document\nNouveau"}},
        {ID_FILE_OPEN, {"Vorhandenes Dokument öffnen\nÖffnen", "Open an existing document\nOpen",
                        "Ouvrir un document existant\nOuvrir"}},
        {ID_FILE_SAVE, {"Aktives Dokument speichern\nSpeichern", "Save the active document\nSave",
                        "Enregistrer le document actif\nEnregistrer"}},
        {ID_FILE_SAVE_AS, {"Aktives Dokument unter neuem Namen speichern\nSpeichern unter",
                           "Save the active document with a new name\nSave As",
                           "Enregistrer le document actif sous un nouveau nom\nEnregistrer sous"}},
        {ID_FILE_SEND_MAIL, {"Aktives Dokument per E-Mail senden\nE-Mail senden",
                             "Send the active document through electronic mail\nSend Mail",
                             "Envoyer le document actif par courrier électronique\nEnvoyer"}},
        {ID_FILE_MRU_FILE1, {"Dieses Dokument öffnen", "Open this document", "Ouvrir ce document"}},
        {ID_FILE_MRU_FILE2, {"Dieses Dokument öffnen", "Open this document", "Ouvrir ce document"}},
        {ID_FILE_MRU_FILE3, {"Dieses Dokument öffnen", "Open this document", "Ouvrir ce document"}},
        {ID_FILE_MRU_FILE4, {"Dieses Dokument öffnen", "Open this document", "Ouvrir ce document"}},
        {ID_EDIT_COPY, {"Auswahl kopieren und in die Zwischenablage einfügen\nKopieren",
                        "Copy the selection and put it on the Clipboard\nCopy",
                        "Copier la sélection dans le Presse-papiers\nCopier"}},
        {ID_EDIT_CUT, {"Auswahl ausschneiden und in die Zwischenablage einfügen\nAusschneiden",
                       "Cut the selection and put it on the Clipboard\nCut",
                       "Couper la sélection et la mettre dans le Presse-papiers\nCouper"}},
        {ID_EDIT_FIND, {"Angegebenen Text suchen\nSuchen", "Find the specified text\nFind",
                        "Rechercher le texte spécifié\nRechercher"}},
        {ID_EDIT_PASTE, {"Inhalt der Zwischenablage einfügen\nEinfügen",
                         "Insert Clipboard contents\nPaste",
                         "Insérer le contenu du Presse-papiers\nColler"}},
        {ID_EDIT_SELECT_ALL, {"Alles markieren\nAlles markieren", "Select the entire document\nSelect All",
                              "Sélectionner tout\nSélectionner tout"}},
        {ID_EDIT_UNDO, {"Letzte Aktion rückgängig machen\nRückgängig", "Undo the last action\nUndo",
                        "Annuler la dernière action\nAnnuler"}},
        {ID_EDIT_REDO, {"Zuvor rückgängig gemachte Aktion wiederholen\nWiederholen",
                        "Redo the previously undone action\nRedo",
                        "Rétablir l'action précédemment annulée\nRétablir"}},
        {ID_APP_ABOUT, {"Programminformationen, Versionsnummer und Copyright anzeigen\nInfo",
                        "Display program information, version number and copyright\nAbout",
                        "Afficher les informations, le numéro de version et le copyright\nÀ propos de"}},
        {ID_APP_EXIT, {"Anwendung beenden; fragt, ob Dokumente gespeichert werden sollen\nBeenden",
                       "Quit the application; prompts to save documents\nExit",
                       "Quitter l'application ; propose d'enregistrer les documents\nQuitter"}},
        {ID_HELP_INDEX, {"Hilfe öffnen\nHilfethemen", "Opens Help\nHelp Topics",
                         "Ouvrir l'aide\nRubriques d'aide"}},
        {ID_HELP, {"Hilfe zur aktuellen Aufgabe oder zum Befehl anzeigen\nHilfe",
                   "Display help for current task or command\nHelp",
                   "Afficher l'aide sur la tâche ou la commande en cours\nAide"}},
        {ID_NEXT_PANE, {"Zum nächsten Fensterbereich wechseln\nNächster Bereich",
                        "Switch to the next window pane\nNext Pane",
                        "Passer au volet suivant\nVolet suivant"}},
        {ID_PREV_PANE, {"Zum vorherigen Fensterbereich wechseln\nVorheriger Bereich",
                        "Switch back to the previous window pane\nPrevious Pane",
                        "Revenir au volet précédent\nVolet précédent"}},
        {ID_VIEW_TOOLBAR, {"Symbolleiste ein- oder ausblenden\nSymbolleiste ein/aus",
                           "Show or hide the toolbar\nToggle ToolBar",
                           "Afficher ou masquer la barre d'outils\nBarre d'outils"}},
        {ID_VIEW_STATUS_BAR, {"Statusleiste ein- oder ausblenden\nStatusleiste ein/aus",
                              "Show or hide the status bar\nToggle StatusBar",
                              "Afficher ou masquer la barre d'état\nBarre d'état"}},
        {ID_VIEW_SMALLICON, {"Elemente mit kleinen Symbolen anzeigen\nKleine Symbole",
                             "Display items by using small icons\nSmall Icons",
                             "Afficher les éléments avec de petites icônes\nPetites icônes"}},
        {ID_VIEW_LARGEICON, {"Elemente mit großen Symbolen anzeigen\nGroße Symbole",
                             "Display items by using large icons\nLarge Icons",
                             "Afficher les éléments avec de grandes icônes\nGrandes icônes"}},
        {ID_VIEW_LIST, {"Elemente als Liste anzeigen\nListe", "Displays items in a list\nList",
                        "Afficher les éléments sous forme de liste\nListe"}},
        {ID_VIEW_DETAILS, {"Ausführliche Informationen zu jedem Element anzeigen\nDetails",
                           "Displays detailed information about each item in the window\nDetails",
                           "Afficher des informations détaillées sur chaque élément\nDétails"}},
        {ID_VIEW_LINEUP, {"Symbole in einem Raster anordnen\nSymbole anordnen",
                          "Arranges icons in a grid\nArrange Icons",
                          "Aligner les icônes sur une grille\nAligner les icônes"}},
    };
    return table;
}

}  // namespace

QString Load(unsigned id)
{
    const auto& table = Table();
    auto it = table.find(id);
    if (it == table.end())
        return QString();
    switch (KivStrings::CurrentLanguage()) {
    case KivStrings::Lang1031: return QString::fromUtf8(it->second.de);
    case KivStrings::Lang1036: return QString::fromUtf8(it->second.fr);
    default: return QString::fromUtf8(it->second.en);
    }
}

}  // namespace KivPrompts
