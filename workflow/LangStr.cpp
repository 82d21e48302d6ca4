#include "workflow/LangStr.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "lang/Tr.h"

namespace qor {

namespace {

struct Numbered {
  int id;
  std::string_view text;
};

// '&' marks a control's access key. Kept in the order of the numbers.
constexpr std::array kTexts = {
    Numbered{1, "Modification de l'altitude des aéroports et pistes"},
    Numbered{2, "Aide"},
    Numbered{3, "Élévation"},
    Numbered{4, "&Fichier :"},
    Numbered{5, "&Parcourir"},
    Numbered{6, "&Rechercher"},
    Numbered{7, "Choisissez le fichier BGL à éditer."},
    Numbered{8, "Aéroports et altitudes de"},
    Numbered{9, "Oups, pas encore programmé pour cet onglet."},
    Numbered{10, "Double-clic sur la ligne à modifier."},
    Numbered{11, "Ce fichier ne contient pas d'aéroports."},
    Numbered{12,
             "Sélectionnez d'abord un dossier contenant plusieurs fichiers BGL au nouveau "
             "format svp."},
    Numbered{13, "Recherche"},
    Numbered{14, "Aéroport à chercher"},
    Numbered{15, "Pas trouvé dans cette liste."},
    Numbered{16, "Modification d'élévation"},
    Numbered{17, "Nouvelle élévation en mètres"},
    Numbered{18, "la"},
    Numbered{20, ""},
    Numbered{21, "Changement de plus de 10 mètres ???"},
    Numbered{22, "Confirmez-vous"},
    Numbered{23, "Attention"},
    Numbered{24, "Voulez-vous également changer l'altitude des éléments de l'aéroport ?"},
    Numbered{25, "Autres éléments"},
    Numbered{26, "Je ne sais pas encore lire ce format de fichier BGL."},
    Numbered{27, "Fichiers BGL au nouveau format"},
    Numbered{28, "Liste des aéroports avec altitudes. Double-clic pour changer."},
    Numbered{29, "Dossier de &FS2004 :"},
    Numbered{30, "Le dossier du simulateur, celui de scenery.cfg."},
    Numbered{31, "&Parcourir…"},
    Numbered{32, "&Charger"},
    Numbered{33, "&Zones de la bibliothèque, dans l'ordre de chargement :"},
    Numbered{34, "Aéroport (&OACI ou nom) :"},
    Numbered{35, "C&hercher"},
    Numbered{36, "Double-clic : ouvre le fichier de la définition sur la page Élévation."},
    Numbered{37, "Aéroports dont les définitions actives di&vergent :"},
    Numbered{38, "&Aligner"},
    Numbered{39, "Met toutes les définitions actives de l'aéroport choisi à la même altitude."},
    Numbered{40, "Dossier de FS2004"},
    Numbered{41, "Bibliothèque"},
    Numbered{42, "Éléments à changer :"},
    Numbered{43, "Plus grand déplacement :"},
    Numbered{50, "A&nnuler"},
    Numbered{51,
             "Défait le dernier alignement (de cette fenêtre ou de la ligne de commande), "
             "champ par champ."},
    Numbered{60, "Recherche d'un fichier par boîte de dialogue."},
    Numbered{61, "Impression de la liste."},
    Numbered{62, "I want to add a language"},
    Numbered{63, "Choisissez le fichier BGL à éditer"},
    Numbered{64, "Fichiers BGL (*.bgl)"},
    Numbered{65, "Tous les fichiers"},
    Numbered{66, "&Référence :"},
    Numbered{67, "Parcour&ir…"},
    Numbered{68,
             "La liste des aéroports du monde, téléchargée une fois : airports.csv "
             "d'OurAirports ou airports.dat d'OpenFlights."},
    Numbered{69, "Choisissez la liste des aéroports (airports.csv ou airports.dat)"},
    Numbered{70, "Listes d'aéroports (*.csv *.dat)"},
    // The languages of the flag's menu, each named in itself.
    Numbered{71, "Français"},
    Numbered{72, "English"},
    Numbered{73, "Deutsch"},
    Numbered{80,
             "Do you want to translate this program ?\r\n\nPlease send a mail to "
             "qorbgl@qor-soft.fr to ask for instructions."},
};

const Numbered* Find(int id) {
  const auto at = std::lower_bound(kTexts.begin(), kTexts.end(), id,
                                   [](const Numbered& n, int wanted) { return n.id < wanted; });
  return at != kTexts.end() && at->id == id ? &*at : nullptr;
}

}  // namespace

std::string LangStr(int id) {
  const Numbered* found = Find(id);
  return found ? TrNumbered(id, found->text) : "[" + std::to_string(id) + "]";
}

std::string LangStr(int id, const std::string& defaultText) {
  const Numbered* found = Find(id);
  return TrNumbered(id, found ? found->text : std::string_view(defaultText));
}

std::string_view FrenchLangStr(int id) {
  const Numbered* found = Find(id);
  return found ? found->text : std::string_view();
}

bool HasLangStr(int id) {
  return Find(id) != nullptr;
}

}  // namespace qor
