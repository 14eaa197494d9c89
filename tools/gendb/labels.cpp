// Interface and printer labels. Thousands of rows in five languages are
// composed from small vocabularies, so that every key and every text is
// plausible, unique and stable from one build to the next.
#include <array>
#include <ostream>
#include <string>

#include "gendb.h"

namespace gendb {
namespace {

struct Word {
  const char* key;
  std::array<const char*, 5> text;
};

// Actions of menus, buttons and dialogs.
constexpr std::array<Word, 20> kVerbs{{
    {"ADD", {"Ajouter", "Add", "Hinzufügen", "Añadir", "Aggiungi"}},
    {"EDIT", {"Modifier", "Edit", "Bearbeiten", "Modificar", "Modifica"}},
    {"DEL", {"Supprimer", "Delete", "Löschen", "Eliminar", "Elimina"}},
    {"PRINT", {"Imprimer", "Print", "Drucken", "Imprimir", "Stampa"}},
    {"COPY", {"Copier", "Copy", "Kopieren", "Copiar", "Copia"}},
    {"FIND", {"Rechercher", "Search", "Suchen", "Buscar", "Cerca"}},
    {"SORT", {"Trier", "Sort", "Sortieren", "Ordenar", "Ordina"}},
    {"EXPORT", {"Exporter", "Export", "Exportieren", "Exportar", "Esporta"}},
    {"IMPORT", {"Importer", "Import", "Importieren", "Importar", "Importa"}},
    {"SHOW", {"Afficher", "Show", "Anzeigen", "Mostrar", "Mostra"}},
    {"HIDE", {"Masquer", "Hide", "Ausblenden", "Ocultar", "Nascondi"}},
    {"CALC", {"Calculer", "Calculate", "Berechnen", "Calcular", "Calcola"}},
    {"DUP", {"Dupliquer", "Duplicate", "Duplizieren", "Duplicar", "Duplica"}},
    {"RENAME", {"Renommer", "Rename", "Umbenennen", "Renombrar", "Rinomina"}},
    {"OPEN", {"Ouvrir", "Open", "Öffnen", "Abrir", "Apri"}},
    {"CLOSE", {"Fermer", "Close", "Schließen", "Cerrar", "Chiudi"}},
    {"SAVE", {"Enregistrer", "Save", "Speichern", "Guardar", "Salva"}},
    {"CHOOSE", {"Choisir", "Choose", "Auswählen", "Elegir", "Scegli"}},
    {"CHECK", {"Vérifier", "Check", "Prüfen", "Comprobar", "Verifica"}},
    {"MERGE", {"Fusionner", "Merge", "Zusammenführen", "Combinar", "Unisci"}},
}};

// Things the kitchen manages.
constexpr std::array<Word, 30> kNouns{{
    {"RECIPE", {"recette", "recipe", "Rezept", "receta", "ricetta"}},
    {"INGRED", {"ingrédient", "ingredient", "Zutat", "ingrediente", "ingrediente"}},
    {"CATEG", {"catégorie", "category", "Kategorie", "categoría", "categoria"}},
    {"UNIT", {"unité", "unit", "Einheit", "unidad", "unità"}},
    {"SUPPLIER", {"fournisseur", "supplier", "Lieferant", "proveedor", "fornitore"}},
    {"PRICE", {"prix", "price", "Preis", "precio", "prezzo"}},
    {"PLANNING", {"planning", "schedule", "Planung", "planificación", "pianificazione"}},
    {"PRODSHEET", {"fiche de production", "production sheet", "Produktionsblatt", "hoja de producción", "scheda di produzione"}},
    {"MENU", {"menu", "menu", "Menü", "menú", "menu"}},
    {"USER", {"utilisateur", "user", "Benutzer", "usuario", "utente"}},
    {"CURRENCY", {"devise", "currency", "Währung", "moneda", "valuta"}},
    {"LABEL", {"étiquette", "label", "Etikett", "etiqueta", "etichetta"}},
    {"INVENTORY", {"inventaire", "inventory", "Inventur", "inventario", "inventario"}},
    {"ORDER", {"commande", "order", "Bestellung", "pedido", "ordine"}},
    {"CUSTOMER", {"client", "customer", "Kunde", "cliente", "cliente"}},
    {"ALLERGEN", {"allergène", "allergen", "Allergen", "alérgeno", "allergene"}},
    {"STOCK", {"stock", "stock", "Lagerbestand", "existencias", "scorta"}},
    {"PORTION", {"portion", "portion", "Portion", "ración", "porzione"}},
    {"COST", {"coût de revient", "cost price", "Selbstkosten", "coste", "costo"}},
    {"MARGIN", {"marge", "margin", "Marge", "margen", "margine"}},
    {"METHOD", {"progression", "method", "Zubereitung", "elaboración", "procedimento"}},
    {"VAT", {"taux de TVA", "VAT rate", "MwSt-Satz", "tipo de IVA", "aliquota IVA"}},
    {"YIELD", {"rendement", "yield", "Ausbeute", "rendimiento", "resa"}},
    {"WASTE", {"perte", "waste", "Verlust", "merma", "scarto"}},
    {"DENSITY", {"densité", "density", "Dichte", "densidad", "densità"}},
    {"SERVICE", {"service", "service", "Service", "servicio", "servizio"}},
    {"COVERS", {"nombre de couverts", "number of covers", "Gedeckzahl", "número de cubiertos", "numero di coperti"}},
    {"STORE", {"lieu de stockage", "storage place", "Lagerort", "almacén", "magazzino"}},
    {"NUTRI", {"valeur nutritionnelle", "nutritional value", "Nährwert", "valor nutricional", "valore nutrizionale"}},
    {"PHOTO", {"photo", "photo", "Foto", "foto", "foto"}},
}};

// Headings and qualifiers of printed documents.
constexpr std::array<Word, 8> kQualifiers{{
    {"TOTAL", {"total", "total", "gesamt", "total", "totale"}},
    {"PERPORT", {"par portion", "per portion", "pro Portion", "por ración", "per porzione"}},
    {"NET", {"net", "net", "netto", "neto", "netto"}},
    {"GROSS", {"brut", "gross", "brutto", "bruto", "lordo"}},
    {"DAY", {"du jour", "of the day", "des Tages", "del día", "del giorno"}},
    {"PAGE", {"page", "page", "Seite", "página", "pagina"}},
    {"NUM", {"n°", "no.", "Nr.", "n.º", "n."}},
    {"DATE", {"date", "date", "Datum", "fecha", "data"}},
}};

struct Section {
  const char* key;
  const char* classement;
  // Text pattern around the words, per language: prefix and suffix.
  std::array<const char*, 5> suffix;
};

constexpr std::array<Section, 3> kSections{{
    {"MNU", "Menus", {"", "", "", "", ""}},
    {"DLG", "Dialogues", {"...", "...", "...", "...", "..."}},
    {"ASK", "Messages", {" ?", "?", "?", "?", "?"}},
}};

std::string Capitalised(const char* text) {
  std::string s(text);
  if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 'a' + 'A');
  return s;
}

std::string Lowered(const char* text) {
  std::string s(text);
  if (!s.empty() && s[0] >= 'A' && s[0] <= 'Z') s[0] = static_cast<char>(s[0] - 'A' + 'a');
  return s;
}

// A revision rewords roughly one label in twenty-three.
bool Reworded(int itemId, int revision) { return revision != 0 && (itemId * 31 + revision) % 23 == 0; }

}  // namespace

std::string Quote(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '\'';
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  out += '\'';
  return out;
}

LabelText SystemLabel(int itemId, int revision) {
  const int i = itemId - 2;  // Item_Id 1 is the version row of the database.
  const int combos = static_cast<int>(kVerbs.size() * kNouns.size());
  const Word& verb = kVerbs[static_cast<std::size_t>(i % static_cast<int>(kVerbs.size()))];
  const Word& noun = kNouns[static_cast<std::size_t>((i / static_cast<int>(kVerbs.size())) % static_cast<int>(kNouns.size()))];
  const int round = i / combos;
  const Section& section = kSections[static_cast<std::size_t>(round % static_cast<int>(kSections.size()))];
  LabelText label;
  label.key = std::string("IDS_") + section.key + "_" + verb.key + "_" + noun.key;
  if (round >= static_cast<int>(kSections.size())) label.key += "_" + std::to_string(round / kSections.size() + 1);
  label.classement = section.classement;
  for (std::size_t l = 0; l < 5; ++l) {
    // German puts the verb last: "Rezept hinzufügen".
    label.text[l] = l == 2 ? std::string(noun.text[l]) + " " + Lowered(verb.text[l]) + section.suffix[l]
                           : std::string(verb.text[l]) + " " + noun.text[l] + section.suffix[l];
    if (Reworded(itemId, revision)) label.text[l] = "» " + label.text[l];
  }
  return label;
}

LabelText PrinterLabel(int itemId, int revision) {
  const int i = itemId - 1;
  const int combos = static_cast<int>(kNouns.size() * kQualifiers.size());
  const Word& noun = kNouns[static_cast<std::size_t>(i % static_cast<int>(kNouns.size()))];
  const Word& qual = kQualifiers[static_cast<std::size_t>((i / static_cast<int>(kNouns.size())) % static_cast<int>(kQualifiers.size()))];
  LabelText label;
  label.key = std::string("IDP_") + noun.key + "_" + qual.key;
  if (i >= combos) label.key += "_" + std::to_string(i / combos + 1);
  label.classement = "Impression";
  for (std::size_t l = 0; l < 5; ++l) {
    label.text[l] = Capitalised(noun.text[l]) + " " + qual.text[l];
    if (Reworded(itemId, revision)) label.text[l] += " :";
  }
  return label;
}

void WriteLabels(std::ostream& out, const LabelRanges& ranges) {
  for (int id = ranges.printerFirst; id <= ranges.printerLast; ++id) {
    const LabelText l = PrinterLabel(id, ranges.revision);
    out << "INSERT INTO [Langue_Printer] ([Item_Id], [Libelle], [Classement], [Langue_1], [Langue_2], [Langue_3], "
           "[Langue_4], [Langue_5], [Owner]) VALUES ("
        << id << ", " << Quote(l.key) << ", " << Quote(l.classement);
    for (const auto& t : l.text) out << ", " << Quote(t);
    out << ", -1);\n";
  }
  for (int id = ranges.systemFirst; id <= ranges.systemLast; ++id) {
    const LabelText l = SystemLabel(id, ranges.revision);
    out << "INSERT INTO [Langue_System] ([Item_Id], [Libelle], [Langue_1], [Langue_2], [Langue_3], [Langue_4], "
           "[Langue_5], [Classement], [Owner]) VALUES ("
        << id << ", " << Quote(l.key);
    for (const auto& t : l.text) out << ", " << Quote(t);
    out << ", " << Quote(l.classement) << ", -1);\n";
  }
}

}  // namespace gendb
