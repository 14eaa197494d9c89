-- floor.sql: the logical change of the whole chain, V2.0 -> V2.5.3, written
-- by hand as set-based SQLite statements, for the stock sqlite3 shell on a
-- copy of a V2.0 database (bench/floor.sh runs it). It is the yardstick of
-- bench/chain_bench: what the conversion would cost with no driver, no
-- record set and no row-by-row merge in the way.
--
-- What it does, step by step, in one transaction per step: the columns
-- added, the tables and indexes created, the tables rebuilt where a
-- column's type changes (text widened in place: SQLite keeps any length),
-- every relation checked against the rows already there (each check prints
-- the number of rows that break it: bench/floor.sh wants 0) and given its
-- index on the referring side, as Jet keeps one; the labels overwritten up
-- to the step's limit and appended beyond it from the step's template; the
-- reference rows (categories, units, label formats, variables, pre-packed
-- and nutrition labels, progression) merged from the template; the supplier
-- and import trees collapsed, their links moved to the supplier and the
-- emptied categories deleted; the version stamped.
--
-- What it leaves out, so that it is a floor and not a second program:
-- the driver's own catalog of Jet types, sizes and relations (_jet_*
-- tables), the check of every written value against its column, the
-- journal, the data sources, the progress window, per-statement atomicity
-- (a step is one transaction here), the refusals the steps must journal
-- (no row of the generated database triggers them), and the exact rules of
-- a few small merges (which of the template's own rows win a name clash);
-- their rows are few and their cost is nothing beside the large tables.
--
-- @TEMPLATES@ is replaced by the template folder (bench/floor.sh).

PRAGMA foreign_keys = OFF;

------------------------------------------------------------------ V2.0 -> V2.1
BEGIN IMMEDIATE;
ATTACH '@TEMPLATES@/tq2V2_1.mdb' AS t;
ALTER TABLE Categories ADD COLUMN "EXPORTABLE" COLLATE JETNOCASE DEFAULT 0;
CREATE TABLE FmtEtiquette (_jet_row INTEGER PRIMARY KEY, "ID" COLLATE JETNOCASE NOT NULL, "REF" COLLATE JETNOCASE,
  "MRGHAUT" COLLATE JETNOCASE, "MRGCOTE" COLLATE JETNOCASE, "HAUTEUR" COLLATE JETNOCASE, "LARGEUR" COLLATE JETNOCASE,
  "PASVERT" COLLATE JETNOCASE, "PASHORIZ" COLLATE JETNOCASE, "NBRVERT" COLLATE JETNOCASE, "NBRHORIZ" COLLATE JETNOCASE);
CREATE UNIQUE INDEX FmtEtiquette_PK ON FmtEtiquette (ID);
CREATE UNIQUE INDEX FmtEtiquette_REF ON FmtEtiquette (REF);
ALTER TABLE Ingredients ADD COLUMN "ENTPRINCIPAL" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOUPRINCIPAL" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "IMPORTED" COLLATE JETNOCASE DEFAULT 0;
CREATE INDEX Ingredients_IMPORTED ON Ingredients (IMPORTED);
ALTER TABLE Recettes ADD COLUMN "IMPORTED" COLLATE JETNOCASE DEFAULT 0;
CREATE INDEX Recettes_IMPORTED ON Recettes (IMPORTED);
ALTER TABLE Utilisateurs ADD COLUMN "VALNULLBE" COLLATE JETNOCASE;
CREATE TABLE Variables (_jet_row INTEGER PRIMARY KEY, "NAME" COLLATE JETNOCASE NOT NULL, "VALSTR" COLLATE JETNOCASE,
  "VALNUM" COLLATE JETNOCASE);
CREATE UNIQUE INDEX Variables_PK ON Variables (NAME);
SELECT count(*) FROM CategIngre c WHERE c.CLASSPARENT IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM Categories p WHERE p.CLASS_ID = c.CLASSPARENT);
CREATE INDEX floor_CategIngre_CLASSPARENT ON CategIngre (CLASSPARENT);
SELECT count(*) FROM Ingredients c WHERE c.ENTPRINCIPAL IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM Categories p WHERE p.CLASS_ID = c.ENTPRINCIPAL);
CREATE INDEX floor_Ingredients_ENTPRINCIPAL ON Ingredients (ENTPRINCIPAL);
SELECT count(*) FROM Ingredients c WHERE c.FOUPRINCIPAL IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM Categories p WHERE p.CLASS_ID = c.FOUPRINCIPAL);
CREATE INDEX floor_Ingredients_FOUPRINCIPAL ON Ingredients (FOUPRINCIPAL);
-- Reference rows: the template's categories over the system ones, its label
-- formats, units and variables.
UPDATE Categories SET (TYPE, MASQUE, PERE_ID, NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, OWNER, DATE_MAJ, ASCHILD) =
  (SELECT TYPE, MASQUE, PERE_ID, NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, OWNER, datetime('now'), ASCHILD
   FROM t.Categories s WHERE s.CLASS_ID = Categories.CLASS_ID)
  WHERE CLASS_ID IN (SELECT CLASS_ID FROM t.Categories);
INSERT INTO Categories (CLASS_ID, TYPE, MASQUE, PERE_ID, NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, OWNER, DATE_MAJ,
                        ASCHILD, EXPORTABLE)
  SELECT CLASS_ID, TYPE, MASQUE, PERE_ID, NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, OWNER, datetime('now'), ASCHILD, 0
  FROM t.Categories s WHERE NOT EXISTS (SELECT 1 FROM Categories d WHERE d.CLASS_ID = s.CLASS_ID);
INSERT INTO FmtEtiquette (ID, REF, MRGHAUT, MRGCOTE, HAUTEUR, LARGEUR, PASVERT, PASHORIZ, NBRVERT, NBRHORIZ)
  SELECT ID, REF, MRGHAUT, MRGCOTE, HAUTEUR, LARGEUR, PASVERT, PASHORIZ, NBRVERT, NBRHORIZ FROM t.FmtEtiquette;
UPDATE Unites SET (IMPERIAL, CFACT, TYPE, NBDIGIT, NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, SYMBOL_1, SYMBOL_2,
                   SYMBOL_3, SYMBOL_4, SYMBOL_5, DATE_MAJ, CODE_ECH) =
  (SELECT IMPERIAL, CFACT, TYPE, NBDIGIT, NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, SYMBOL_1, SYMBOL_2, SYMBOL_3,
          SYMBOL_4, SYMBOL_5, datetime('now'), CODE_ECH FROM t.Unites s WHERE s.UNITDEF_ID = Unites.UNITDEF_ID)
  WHERE OWNER = -1 AND UNITDEF_ID IN (SELECT UNITDEF_ID FROM t.Unites WHERE OWNER = -1);
INSERT INTO Variables (NAME, VALSTR, VALNUM) SELECT NAME, VALSTR, VALNUM FROM t.Variables;
-- Labels: overwritten up to the step's limits, appended beyond them.
UPDATE Langue_Printer SET (Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner) =
  (SELECT Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer s
   WHERE s.Item_Id = Langue_Printer.Item_Id)
  WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_Printer WHERE Item_Id <= 107);
INSERT INTO Langue_Printer (Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner)
  SELECT Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer
  WHERE Item_Id > 107;
UPDATE Langue_System SET (Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner) =
  (SELECT Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System s
   WHERE s.Item_Id = Langue_System.Item_Id)
  WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_System WHERE Item_Id <= 510);
INSERT INTO Langue_System (Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner)
  SELECT Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System
  WHERE Item_Id > 510;
UPDATE Langue_System SET Langue_1 = '2.1.1.91', Langue_2 = '2.1.1.91', Langue_3 = '2.1.1.91', Langue_4 = '2.1.1.91',
  Langue_5 = '2.1.1.91' WHERE Libelle = 'IDS_VERSION_DB';
COMMIT;
DETACH t;

------------------------------------------------------------------ V2.1 -> V2.2
BEGIN IMMEDIATE;
ATTACH '@TEMPLATES@/tq2V2_2.mdb' AS t;
CREATE TABLE Fournisseurs (_jet_row INTEGER PRIMARY KEY, "ID" COLLATE JETNOCASE NOT NULL,
  "NUMCLIENT" COLLATE JETNOCASE, "CONTACT" COLLATE JETNOCASE, "TEL" COLLATE JETNOCASE, "FAX" COLLATE JETNOCASE,
  "EMAIL" COLLATE JETNOCASE, "ADRESSE1" COLLATE JETNOCASE, "ADRESSE2" COLLATE JETNOCASE, "ADRESSE3" COLLATE JETNOCASE,
  "CODEPOST" COLLATE JETNOCASE, "VILLE" COLLATE JETNOCASE, "PAYS" COLLATE JETNOCASE);
CREATE UNIQUE INDEX Fournisseurs_PK ON Fournisseurs (ID);
-- Language columns of Devises, Unites and Categories widened to 54: nothing to move.
ALTER TABLE Ingredients ADD COLUMN "COEF1_VENTE" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "COEF2_VENTE" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "COEF3_VENTE" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "METHODE_VENTE" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "PEQTE" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "PEUNIT" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "PEQTENET" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "PEUNITNET" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "PERTE" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOU1_QTE" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOU1_UNIT" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOU1_PX" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOURN1" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOU2_QTE" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOU2_UNIT" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOU2_PX" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOURN2" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOU_PXQTEUNIT" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOU_PXUNITAIRE" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOU1_CODECMD" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOU2_CODECMD" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOU_CODECMDDEF" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOU1_QTE2" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOU1_UNIT2" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOU2_QTE2" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOU2_UNIT2" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "FOURN_DEF" COLLATE JETNOCASE;
ALTER TABLE Planning ADD COLUMN "FIXED_PX_VENTE" COLLATE JETNOCASE;
ALTER TABLE Planning ADD COLUMN "REMISE_PX_VENTE" COLLATE JETNOCASE;
ALTER TABLE Recettes ADD COLUMN "CUMMULABLE" COLLATE JETNOCASE DEFAULT 0;
ALTER TABLE Utilisateurs ADD COLUMN "AFFIPX" COLLATE JETNOCASE DEFAULT 0;
ALTER TABLE Utilisateurs ADD COLUMN "ENAIMPR" COLLATE JETNOCASE DEFAULT 0;
SELECT count(*) FROM Ingredients c WHERE c.FOURN1 IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM Categories p WHERE p.CLASS_ID = c.FOURN1);
CREATE INDEX floor_Ingredients_FOURN1 ON Ingredients (FOURN1);
SELECT count(*) FROM Ingredients c WHERE c.FOURN2 IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM Categories p WHERE p.CLASS_ID = c.FOURN2);
CREATE INDEX floor_Ingredients_FOURN2 ON Ingredients (FOURN2);
SELECT count(*) FROM Ingredients c WHERE c.FOU1_UNIT IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM Unites p WHERE p.UNITDEF_ID = c.FOU1_UNIT);
CREATE INDEX floor_Ingredients_FOU1_UNIT ON Ingredients (FOU1_UNIT);
SELECT count(*) FROM Ingredients c WHERE c.FOU2_UNIT IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM Unites p WHERE p.UNITDEF_ID = c.FOU2_UNIT);
CREATE INDEX floor_Ingredients_FOU2_UNIT ON Ingredients (FOU2_UNIT);
CREATE INDEX floor_Fournisseurs_ID ON Fournisseurs (ID);
-- Labels.
UPDATE Langue_Printer SET (Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner) =
  (SELECT Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer s
   WHERE s.Item_Id = Langue_Printer.Item_Id)
  WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_Printer WHERE Item_Id <= 145);
INSERT INTO Langue_Printer (Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner)
  SELECT Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer
  WHERE Item_Id > 145;
UPDATE Langue_System SET (Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner) =
  (SELECT Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System s
   WHERE s.Item_Id = Langue_System.Item_Id)
  WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_System WHERE Item_Id <= 675);
INSERT INTO Langue_System (Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner)
  SELECT Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System
  WHERE Item_Id > 675;
-- The import category: its sub-tree and their links go, the category stays
-- at the top level without children.
CREATE TEMP TABLE import_tree AS
  WITH RECURSIVE d(id) AS (SELECT CLASS_ID FROM Categories WHERE PERE_ID = -1 AND NAME_1 = 'Importation'
                           UNION ALL SELECT c.CLASS_ID FROM Categories c JOIN d ON c.PERE_ID = d.id)
  SELECT id FROM d WHERE id NOT IN (SELECT CLASS_ID FROM Categories WHERE PERE_ID = -1);
DELETE FROM CategRecet WHERE CLASS_ID IN (SELECT id FROM import_tree);
DELETE FROM CategIngre WHERE CLASS_ID IN (SELECT id FROM import_tree);
DELETE FROM Categories WHERE CLASS_ID IN (SELECT id FROM import_tree);
UPDATE Categories SET TYPE = 0, ASCHILD = 0 WHERE PERE_ID = -1 AND NAME_1 = 'Importation';
-- Suppliers: each direct child of 52 takes the ingredients of its whole
-- sub-tree, once each; the sub-tree and its links go.
CREATE TEMP TABLE supplier_tree AS
  WITH RECURSIVE d(id, supplier) AS (SELECT CLASS_ID, CLASS_ID FROM Categories WHERE PERE_ID = 52
                                     UNION ALL SELECT c.CLASS_ID, d.supplier FROM Categories c JOIN d ON c.PERE_ID = d.id)
  SELECT id, supplier FROM d WHERE id <> supplier;
CREATE INDEX temp.supplier_tree_id ON supplier_tree (id);
INSERT INTO CategIngre (INGR_ID, CLASS_ID, CLASSPARENT, MASQUE)
  SELECT DISTINCT l.INGR_ID, s.supplier, 52, 0 FROM CategIngre l JOIN supplier_tree s ON l.CLASS_ID = s.id
  WHERE NOT EXISTS (SELECT 1 FROM CategIngre e WHERE e.CLASS_ID = s.supplier AND e.INGR_ID = l.INGR_ID)
  ORDER BY s.supplier, l.INGR_ID;
DELETE FROM CategIngre WHERE CLASS_ID IN (SELECT id FROM supplier_tree);
DELETE FROM CategRecet WHERE CLASS_ID IN (SELECT id FROM supplier_tree);
DELETE FROM Categories WHERE CLASS_ID IN (SELECT id FROM supplier_tree);
UPDATE Categories SET TYPE = 4, ASCHILD = 0 WHERE PERE_ID = 52;
-- The nineteen system units renamed in the five languages.
WITH u(id, n1, n2, n3, n4, n5, s1, s2, s3, s4, s5) AS (VALUES
  (0, 'Kilogramme & litre', 'Kilogram & litre', 'Kilogramm & Liter', 'Kilogramo & litro', 'Chilogrammo & litro', 'kg & l', 'kg & l', 'kg & l', 'kg & l', 'kg & l'),
  (1, 'Once & mesure de capacité', 'Ounce & fluid ounce', 'Unze(n) & Flüssig-Unze(n)', 'Onza y medida de capacidad', 'Oncia e oncia fluida', 'oz & fl.oz', 'oz & fl.oz', 'oz & fl.oz', 'oz & fl.oz', 'oz & fl.oz'),
  (2, 'Gramme & centilitre', 'Gram & centilitre', 'Gramm & Zentiliter', 'Gramo & centilitro', 'Grammo & centilitro', 'g & cl', 'g & cl', 'g & cl', 'g & cl', 'g & cl'),
  (3, 'gramme', 'gram', 'Gramm', 'gramo', 'grammo', 'g', 'g', 'g', 'g', 'g'),
  (4, 'kilogramme', 'kilogram', 'Kilogramm', 'kilogramo', 'chilogrammo', 'kg', 'kg', 'kg', 'kg', 'kg'),
  (5, 'milligramme', 'milligram', 'Milligramm', 'miligramo', 'milligrammo', 'mg', 'mg', 'mg', 'mg', 'mg'),
  (6, 'centilitre', 'centilitre', 'Zentiliter', 'centilitro', 'centilitro', 'cl', 'cl', 'cl', 'cl', 'cl'),
  (7, 'millilitre', 'millilitre', 'Milliliter', 'mililitro', 'millilitro', 'ml', 'ml', 'ml', 'ml', 'ml'),
  (8, 'décilitre', 'decilitre', 'Deziliter', 'decilitro', 'decilitro', 'dl', 'dl', 'dl', 'dl', 'dl'),
  (9, 'litre', 'litre', 'Liter', 'litro', 'litro', 'l', 'l', 'l', 'l', 'l'),
  (10, 'Livre', 'Pound', 'Pfund', 'Libra', 'Libbra', 'lb', 'lb', 'lb', 'lb', 'lb'),
  (11, 'Once', 'Ounce', 'Unze(n)', 'Onza', 'Oncia', 'oz', 'oz', 'oz', 'oz', 'oz'),
  (12, 'Mesure de capacité', 'Fluid ounce', 'Flüssig-Unze(n)', 'Medida de capacidad', 'Oncia fluida', 'fl.oz', 'fl.oz', 'fl.oz', 'fl.oz', 'fl.oz'),
  (13, 'pièce/s', 'piece/s', 'Stück', 'pieza/s', 'pezzo(i)', 'pce/s', 'pce/s', 'Stück', 'pza/s', 'pzo(i)'),
  (14, 'recette/s', 'recipe/s', 'Rezept/e', 'receta/s', 'ricetta(e)', 'recette/s', 'recipe/s', 'Rezept/e', 'receta/s', 'ricetta(e)'),
  (15, 'Pour mémoire', 'Memory', 'zur Erinnerung', 'Para memoria', 'Pro memoria', 'PM', 'Memo', 'zE', 'PM', 'PM'),
  (16, 'Quantité suffisante', 'As necessary', 'nach Geschmack', 'Cantidad suficiente', 'Quantità sufficiente', 'QS', 'as nec.', 'nG', 'CS', 'QS'),
  (21, 'Livre & mesure de capacité', 'Pound & fluid ounce', 'Pfund & Flüssig-Unze(n)', 'Libra y medida de capacidad', 'Libbra e oncia fluida', 'lb & fl.oz', 'lb & fl.oz', 'lb & fl.oz', 'lb & fl.oz', 'lb & fl.oz'),
  (23, 'personne/s', 'person/s', 'Person/en', 'persona/s', 'persona(e)', 'pers.', 'pers.', 'Pers.', 'pers.', 'pers.'))
UPDATE Unites SET (NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, SYMBOL_1, SYMBOL_2, SYMBOL_3, SYMBOL_4, SYMBOL_5) =
  (SELECT n1, n2, n3, n4, n5, s1, s2, s3, s4, s5 FROM u WHERE u.id = Unites.UNITDEF_ID)
  WHERE UNITDEF_ID IN (SELECT id FROM u);
UPDATE Langue_System SET Langue_1 = '2.2.1.197', Langue_2 = '2.2.1.197', Langue_3 = '2.2.1.197',
  Langue_4 = '2.2.1.197', Langue_5 = '2.2.1.197' WHERE Libelle = 'IDS_VERSION_DB';
COMMIT;
DETACH t;

------------------------------------------------------------------ V2.2 -> V2.3
BEGIN IMMEDIATE;
ATTACH '@TEMPLATES@/tq2V2_3.mdb' AS t;
ALTER TABLE FicheProduction ADD COLUMN "REMISE" COLLATE JETNOCASE;
CREATE TABLE LAN_Clients (_jet_row INTEGER PRIMARY KEY, "SERNUM" COLLATE JETNOCASE NOT NULL,
  "ENABLE" COLLATE JETNOCASE DEFAULT 0, "TRACEDETAIL" COLLATE JETNOCASE DEFAULT 0);
CREATE UNIQUE INDEX LAN_Clients_PK ON LAN_Clients (SERNUM);
ALTER TABLE Utilisateurs ADD COLUMN "CONSULT_ONLY" COLLATE JETNOCASE DEFAULT 0;
UPDATE Langue_Printer SET (Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner) =
  (SELECT Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer s
   WHERE s.Item_Id = Langue_Printer.Item_Id)
  WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_Printer WHERE Item_Id <= 155);
INSERT INTO Langue_Printer (Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner)
  SELECT Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer
  WHERE Item_Id > 155;
UPDATE Langue_System SET (Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner) =
  (SELECT Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System s
   WHERE s.Item_Id = Langue_System.Item_Id)
  WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_System WHERE Item_Id <= 882);
INSERT INTO Langue_System (Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner)
  SELECT Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System
  WHERE Item_Id > 882;
UPDATE Langue_System SET Langue_1 = '2.3.1.217', Langue_2 = '2.3.1.217', Langue_3 = '2.3.1.217',
  Langue_4 = '2.3.1.217', Langue_5 = '2.3.1.217' WHERE Libelle = 'IDS_VERSION_DB';
COMMIT;
DETACH t;

---------------------------------------------------------------- V2.3 -> V2.4.1
BEGIN IMMEDIATE;
ATTACH '@TEMPLATES@/tq2V2_4.mdb' AS t;
ALTER TABLE Ingredients ADD COLUMN "PREEM_DENVENT" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "PREEM_COMPOS" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "PREEM_COMPCT" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "PREEM_FICHTECH_1" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "PREEM_FICHTECH_2" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "PREEM_FICHTECH_3" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "PREEM_FICHTECH_4" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "PREEM_FICHTECH_5" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "PREEM_CATADDITIF" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "PREEM_CODEADDITIF" COLLATE JETNOCASE;
-- CODE_AN and the order codes widened to 32: nothing to move.
CREATE TABLE LibellesPreEmballe (_jet_row INTEGER PRIMARY KEY, "ID" COLLATE JETNOCASE NOT NULL,
  "NAME_1" COLLATE JETNOCASE, "NAME_2" COLLATE JETNOCASE, "NAME_3" COLLATE JETNOCASE, "NAME_4" COLLATE JETNOCASE,
  "NAME_5" COLLATE JETNOCASE, "TYPE" COLLATE JETNOCASE, "OWNER" COLLATE JETNOCASE);
CREATE UNIQUE INDEX LibellesPreEmballe_PK ON LibellesPreEmballe (ID);
CREATE INDEX LibellesPreEmballe_TYPE ON LibellesPreEmballe (TYPE);
CREATE TABLE RecetPreEmbal (_jet_row INTEGER PRIMARY KEY, "ID_RECET" COLLATE JETNOCASE,
  "INGCOMPOSCUMULABLE" COLLATE JETNOCASE DEFAULT 0, "ID_DENOMLEG" COLLATE JETNOCASE, "NAME_1" COLLATE JETNOCASE,
  "NAME_2" COLLATE JETNOCASE, "NAME_3" COLLATE JETNOCASE, "NAME_4" COLLATE JETNOCASE, "NAME_5" COLLATE JETNOCASE,
  "CRC_1" COLLATE JETNOCASE, "CRC_2" COLLATE JETNOCASE, "CRC_3" COLLATE JETNOCASE, "CRC_4" COLLATE JETNOCASE,
  "CRC_5" COLLATE JETNOCASE, "TEXTE_1" COLLATE JETNOCASE, "TEXTE_2" COLLATE JETNOCASE, "TEXTE_3" COLLATE JETNOCASE,
  "TEXTE_4" COLLATE JETNOCASE, "TEXTE_5" COLLATE JETNOCASE, "ID_VOLPDS" COLLATE JETNOCASE,
  "ID_DATE" COLLATE JETNOCASE, "ID_CONSERV" COLLATE JETNOCASE, "VOLPDS" COLLATE JETNOCASE, "DATE" COLLATE JETNOCASE,
  "CONSERV" COLLATE JETNOCASE, "NLOT" COLLATE JETNOCASE, "FABRICANT" COLLATE JETNOCASE);
CREATE UNIQUE INDEX RecetPreEmbal_PK ON RecetPreEmbal (ID_RECET);
CREATE TABLE RecetteAffIngrCompos (_jet_row INTEGER PRIMARY KEY, "ID_RECET" COLLATE JETNOCASE,
  "ID_INGRD" COLLATE JETNOCASE, "PCT_INGREDIENT" COLLATE JETNOCASE DEFAULT 0,
  "PCT_COMPOSITION" COLLATE JETNOCASE DEFAULT 0);
CREATE UNIQUE INDEX RecetteAffIngrCompos_PK ON RecetteAffIngrCompos (ID_RECET, ID_INGRD);
SELECT count(*) FROM Ingredients c WHERE c.PREEM_COMPOS IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM LibellesPreEmballe p WHERE p.ID = c.PREEM_COMPOS);
CREATE INDEX floor_Ingredients_PREEM_COMPOS ON Ingredients (PREEM_COMPOS);
SELECT count(*) FROM Ingredients c WHERE c.PREEM_DENVENT IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM LibellesPreEmballe p WHERE p.ID = c.PREEM_DENVENT);
CREATE INDEX floor_Ingredients_PREEM_DENVENT ON Ingredients (PREEM_DENVENT);
CREATE INDEX floor_RecetPreEmbal_ID_DATE ON RecetPreEmbal (ID_DATE);
CREATE INDEX floor_RecetPreEmbal_ID_VOLPDS ON RecetPreEmbal (ID_VOLPDS);
CREATE INDEX floor_RecetPreEmbal_ID_CONSERV ON RecetPreEmbal (ID_CONSERV);
CREATE INDEX floor_RecetPreEmbal_ID_DENOMLEG ON RecetPreEmbal (ID_DENOMLEG);
CREATE INDEX floor_RecetteAffIngrCompos_ID_INGRD ON RecetteAffIngrCompos (ID_INGRD);
CREATE INDEX floor_RecetteAffIngrCompos_ID_RECET ON RecetteAffIngrCompos (ID_RECET);
CREATE INDEX floor_LibellesPreEmballe_OWNER ON LibellesPreEmballe (OWNER);
UPDATE Langue_Printer SET (Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner) =
  (SELECT Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer s
   WHERE s.Item_Id = Langue_Printer.Item_Id)
  WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_Printer WHERE Item_Id <= 158);
INSERT INTO Langue_Printer (Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner)
  SELECT Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer
  WHERE Item_Id > 158;
UPDATE Langue_System SET (Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner) =
  (SELECT Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System s
   WHERE s.Item_Id = Langue_System.Item_Id)
  WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_System WHERE Item_Id <= 933);
INSERT INTO Langue_System (Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner)
  SELECT Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System
  WHERE Item_Id > 933;
INSERT INTO LibellesPreEmballe (ID, NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, TYPE, OWNER)
  VALUES (-1, 'SYSTEM', 'SYSTEM', 'SYSTEM', 'SYSTEM', 'SYSTEM', 255, -1);
UPDATE Ingredients SET PXKG = NULL;
UPDATE Unites SET NBDIGIT = 1 WHERE UNITDEF_ID = 3;
UPDATE Langue_System SET Langue_1 = '2.4.1.263', Langue_2 = '2.4.1.263', Langue_3 = '2.4.1.263',
  Langue_4 = '2.4.1.263', Langue_5 = '2.4.1.263' WHERE Libelle = 'IDS_VERSION_DB';
COMMIT;
DETACH t;

-------------------------------------------------------------- V2.4.1 -> V2.4.2
BEGIN IMMEDIATE;
ATTACH '@TEMPLATES@/tq2V2_4_2.mdb' AS t;
ALTER TABLE Ingredients ADD COLUMN "TVACODE" COLLATE JETNOCASE;
ALTER TABLE Planning ADD COLUMN "TVACODE" COLLATE JETNOCASE;
ALTER TABLE Planning ADD COLUMN "TYPE" COLLATE JETNOCASE;
CREATE INDEX Planning_TYPE ON Planning (TYPE);
ALTER TABLE Recettes ADD COLUMN "TVACODE" COLLATE JETNOCASE;
ALTER TABLE Recettes ADD COLUMN "CATPRINCIPAL" COLLATE JETNOCASE;
ALTER TABLE Recettes ADD COLUMN "ENTPRINCIPAL" COLLATE JETNOCASE;
-- REMISE from REAL to DOUBLE: every value read and written back.
UPDATE FicheProduction SET REMISE = CAST(REMISE AS REAL) WHERE REMISE IS NOT NULL;
SELECT count(*) FROM Recettes c WHERE c.CATPRINCIPAL IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM Categories p WHERE p.CLASS_ID = c.CATPRINCIPAL);
CREATE INDEX floor_Recettes_CATPRINCIPAL ON Recettes (CATPRINCIPAL);
SELECT count(*) FROM Recettes c WHERE c.ENTPRINCIPAL IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM Categories p WHERE p.CLASS_ID = c.ENTPRINCIPAL);
CREATE INDEX floor_Recettes_ENTPRINCIPAL ON Recettes (ENTPRINCIPAL);
UPDATE Langue_Printer SET (Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner) =
  (SELECT Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer s
   WHERE s.Item_Id = Langue_Printer.Item_Id)
  WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_Printer WHERE Item_Id <= 158);
INSERT INTO Langue_Printer (Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner)
  SELECT Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer
  WHERE Item_Id > 158 AND Item_Id NOT IN (SELECT Item_Id FROM Langue_Printer);
UPDATE Langue_System SET (Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner) =
  (SELECT Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System s
   WHERE s.Item_Id = Langue_System.Item_Id)
  WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_System WHERE Item_Id <= 1030);
INSERT INTO Langue_System (Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner)
  SELECT Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System
  WHERE Item_Id > 1030;
-- The inventory root added, the storage places moved to the top.
INSERT INTO Categories (CLASS_ID, TYPE, MASQUE, PERE_ID, NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, OWNER, DATE_MAJ,
                        ASCHILD, EXPORTABLE)
  SELECT 28, 3, 0, -1, 'Inventaire', 'Inventory', 'Inventur', 'Inventario', 'Inventario', -1, datetime('now'), 0, 0
  WHERE NOT EXISTS (SELECT 1 FROM Categories WHERE CLASS_ID = 28);
UPDATE Categories SET PERE_ID = -1, DATE_MAJ = datetime('now') WHERE CLASS_ID = 20;
UPDATE Langue_System SET Langue_1 = '2.4.2.305', Langue_2 = '2.4.2.305', Langue_3 = '2.4.2.305',
  Langue_4 = '2.4.2.305', Langue_5 = '2.4.2.305' WHERE Libelle = 'IDS_VERSION_DB';
COMMIT;
DETACH t;

-------------------------------------------------------------- V2.4.2 -> V2.4.3
-- From here on every label of the template is overwritten or appended.
BEGIN IMMEDIATE;
ATTACH '@TEMPLATES@/tq2V2_4_3.mdb' AS t;
UPDATE Langue_Printer SET (Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner) =
  (SELECT Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer s
   WHERE s.Item_Id = Langue_Printer.Item_Id) WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_Printer);
INSERT INTO Langue_Printer (Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner)
  SELECT Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer
  WHERE Item_Id NOT IN (SELECT Item_Id FROM Langue_Printer);
UPDATE Langue_System SET (Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner) =
  (SELECT Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System s
   WHERE s.Item_Id = Langue_System.Item_Id) WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_System);
INSERT INTO Langue_System (Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner)
  SELECT Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System
  WHERE Item_Id NOT IN (SELECT Item_Id FROM Langue_System);
UPDATE Langue_System SET Langue_1 = '2.4.3.307', Langue_2 = '2.4.3.307', Langue_3 = '2.4.3.307',
  Langue_4 = '2.4.3.307', Langue_5 = '2.4.3.307' WHERE Libelle = 'IDS_VERSION_DB';
COMMIT;
DETACH t;

--------------------------------------------------------------- V2.4.3 -> V2.5.1
BEGIN IMMEDIATE;
ATTACH '@TEMPLATES@/tq2V2_5_1.mdb' AS t;
CREATE TABLE CategIngAllerg (_jet_row INTEGER PRIMARY KEY, "INGR_ID" COLLATE JETNOCASE NOT NULL,
  "CLASS_ID" COLLATE JETNOCASE NOT NULL, "CLASSPARENT" COLLATE JETNOCASE, "MASQUE" COLLATE JETNOCASE);
CREATE INDEX CategIngAllerg_CLASS_ID ON CategIngAllerg (CLASS_ID);
CREATE INDEX CategIngAllerg_CLASSPARENT ON CategIngAllerg (CLASSPARENT);
CREATE INDEX CategIngAllerg_INGR_ID ON CategIngAllerg (INGR_ID);
CREATE INDEX CategIngAllerg_MASQUE ON CategIngAllerg (MASQUE);
CREATE UNIQUE INDEX CategIngAllerg_PK ON CategIngAllerg (INGR_ID, CLASS_ID);
-- Label format measures from FLOAT to INTEGER: the table rebuilt with its
-- values rounded.
CREATE TABLE FmtEtiquette_new (_jet_row INTEGER PRIMARY KEY, "ID" COLLATE JETNOCASE NOT NULL,
  "REF" COLLATE JETNOCASE, "MRGHAUT" COLLATE JETNOCASE, "MRGCOTE" COLLATE JETNOCASE, "HAUTEUR" COLLATE JETNOCASE,
  "LARGEUR" COLLATE JETNOCASE, "PASVERT" COLLATE JETNOCASE, "PASHORIZ" COLLATE JETNOCASE,
  "NBRVERT" COLLATE JETNOCASE, "NBRHORIZ" COLLATE JETNOCASE);
INSERT INTO FmtEtiquette_new
  SELECT _jet_row, ID, REF, CAST(round(MRGHAUT) AS INTEGER), CAST(round(MRGCOTE) AS INTEGER),
         CAST(round(HAUTEUR) AS INTEGER), CAST(round(LARGEUR) AS INTEGER), CAST(round(PASVERT) AS INTEGER),
         CAST(round(PASHORIZ) AS INTEGER), NBRVERT, NBRHORIZ FROM FmtEtiquette;
DROP TABLE FmtEtiquette;
ALTER TABLE FmtEtiquette_new RENAME TO FmtEtiquette;
CREATE UNIQUE INDEX FmtEtiquette_PK ON FmtEtiquette (ID);
CREATE UNIQUE INDEX FmtEtiquette_REF ON FmtEtiquette (REF);
DROP INDEX floor_RecetPreEmbal_ID_CONSERV;
DROP INDEX floor_RecetPreEmbal_ID_DATE;
DROP INDEX floor_RecetPreEmbal_ID_VOLPDS;
ALTER TABLE RecetPreEmbal DROP COLUMN ID_CONSERV;
ALTER TABLE RecetPreEmbal DROP COLUMN VOLPDS;
ALTER TABLE RecetPreEmbal DROP COLUMN DATE;
ALTER TABLE RecetPreEmbal DROP COLUMN CONSERV;
ALTER TABLE RecetPreEmbal DROP COLUMN NLOT;
ALTER TABLE RecetPreEmbal DROP COLUMN FABRICANT;
ALTER TABLE RecetPreEmbal ADD COLUMN "ID_LIEU" COLLATE JETNOCASE;
ALTER TABLE RecetPreEmbal ADD COLUMN "ID_APOUVERT" COLLATE JETNOCASE;
ALTER TABLE RecetPreEmbal ADD COLUMN "QTE" COLLATE JETNOCASE;
ALTER TABLE RecetPreEmbal ADD COLUMN "CONTENU" COLLATE JETNOCASE;
ALTER TABLE RecetPreEmbal ADD COLUMN "NLOT" COLLATE JETNOCASE;
ALTER TABLE RecetPreEmbal ADD COLUMN "JJMMAAAA" COLLATE JETNOCASE;
ALTER TABLE RecetPreEmbal ADD COLUMN "DUREEAPO" COLLATE JETNOCASE;
ALTER TABLE RecetPreEmbal ADD COLUMN "FABRICANT" COLLATE JETNOCASE;
ALTER TABLE RecetteAffIngrCompos ADD COLUMN "CENT_COMPOSITION" COLLATE JETNOCASE DEFAULT 0;
CREATE INDEX floor_CategIngAllerg_CLASS_ID ON CategIngAllerg (CLASS_ID);
CREATE INDEX floor_CategIngAllerg_INGR_ID ON CategIngAllerg (INGR_ID);
CREATE INDEX floor_RecetPreEmbal_ID_VOLPDS ON RecetPreEmbal (ID_VOLPDS);
CREATE INDEX floor_RecetPreEmbal_ID_DATE ON RecetPreEmbal (ID_DATE);
CREATE INDEX floor_RecetPreEmbal_ID_LIEU ON RecetPreEmbal (ID_LIEU);
CREATE INDEX floor_RecetPreEmbal_ID_APOUVERT ON RecetPreEmbal (ID_APOUVERT);
UPDATE Ingredients SET PREEM_CATADDITIF = NULL;
CREATE INDEX floor_Ingredients_PREEM_CATADDITIF ON Ingredients (PREEM_CATADDITIF);
UPDATE Langue_Printer SET (Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner) =
  (SELECT Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer s
   WHERE s.Item_Id = Langue_Printer.Item_Id) WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_Printer);
INSERT INTO Langue_Printer (Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner)
  SELECT Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer
  WHERE Item_Id NOT IN (SELECT Item_Id FROM Langue_Printer);
UPDATE Langue_System SET (Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner) =
  (SELECT Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System s
   WHERE s.Item_Id = Langue_System.Item_Id) WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_System);
INSERT INTO Langue_System (Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner)
  SELECT Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System
  WHERE Item_Id NOT IN (SELECT Item_Id FROM Langue_System);
-- The allergen branch taken from the template, the pre-packed labels
-- reset to the system one and then the template's.
UPDATE Ingredients SET PREEM_DENVENT = -1, PREEM_COMPOS = -1, PREEM_CATADDITIF = -1 WHERE PREEM_DENVENT IS NOT NULL;
DELETE FROM RecetPreEmbal;
DELETE FROM LibellesPreEmballe WHERE ID <> -1;
INSERT INTO LibellesPreEmballe (ID, NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, TYPE, OWNER)
  SELECT ID, NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, TYPE, OWNER FROM t.LibellesPreEmballe WHERE ID <> -1;
INSERT INTO Categories (CLASS_ID, TYPE, MASQUE, PERE_ID, NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, OWNER, DATE_MAJ,
                        ASCHILD, EXPORTABLE)
  SELECT CLASS_ID, TYPE, MASQUE, PERE_ID, NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, OWNER, datetime('now'), ASCHILD,
         EXPORTABLE FROM t.Categories s WHERE NOT EXISTS (SELECT 1 FROM Categories d WHERE d.CLASS_ID = s.CLASS_ID);
UPDATE Langue_System SET Langue_1 = '2.5.1.341', Langue_2 = '2.5.1.341', Langue_3 = '2.5.1.341',
  Langue_4 = '2.5.1.341', Langue_5 = '2.5.1.341' WHERE Libelle = 'IDS_VERSION_DB';
COMMIT;
DETACH t;

------------------------------------------------------------- V2.5.1 -> V2.5.1.4
BEGIN IMMEDIATE;
ATTACH '@TEMPLATES@/tq2V2_5_1_4.mdb' AS t;
ALTER TABLE Recettes ADD COLUMN "HTML2" COLLATE JETNOCASE;
UPDATE Langue_Printer SET (Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner) =
  (SELECT Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer s
   WHERE s.Item_Id = Langue_Printer.Item_Id) WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_Printer);
INSERT INTO Langue_Printer (Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner)
  SELECT Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer
  WHERE Item_Id NOT IN (SELECT Item_Id FROM Langue_Printer);
UPDATE Langue_System SET (Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner) =
  (SELECT Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System s
   WHERE s.Item_Id = Langue_System.Item_Id) WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_System);
INSERT INTO Langue_System (Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner)
  SELECT Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System
  WHERE Item_Id NOT IN (SELECT Item_Id FROM Langue_System);
UPDATE Langue_System SET Langue_1 = '2.5.1.343', Langue_2 = '2.5.1.343', Langue_3 = '2.5.1.343',
  Langue_4 = '2.5.1.343', Langue_5 = '2.5.1.343' WHERE Libelle = 'IDS_VERSION_DB';
COMMIT;
DETACH t;

------------------------------------------------------------- V2.5.1.4 -> V2.5.2
BEGIN IMMEDIATE;
ATTACH '@TEMPLATES@/tq2V2_5_2.mdb' AS t;
CREATE TABLE IngRecAlias (_jet_row INTEGER PRIMARY KEY, "INGRED_ID" COLLATE JETNOCASE NOT NULL,
  "RECET_ID" COLLATE JETNOCASE NOT NULL, "ALIAS_1" COLLATE JETNOCASE, "ALIAS_2" COLLATE JETNOCASE,
  "ALIAS_3" COLLATE JETNOCASE, "ALIAS_4" COLLATE JETNOCASE, "ALIAS_5" COLLATE JETNOCASE);
CREATE INDEX IngRecAlias_INGRED_ID ON IngRecAlias (INGRED_ID);
CREATE INDEX IngRecAlias_RECET_ID ON IngRecAlias (RECET_ID);
CREATE UNIQUE INDEX IngRecAlias_PK ON IngRecAlias (INGRED_ID, RECET_ID);
ALTER TABLE Ingredients ADD COLUMN "NUTRI_QTE" COLLATE JETNOCASE;
ALTER TABLE Ingredients ADD COLUMN "NUTRI_UNIT" COLLATE JETNOCASE;
CREATE TABLE MSpecifIng (_jet_row INTEGER PRIMARY KEY, "ID" COLLATE JETNOCASE NOT NULL,
  "IDMSPECIF" COLLATE JETNOCASE NOT NULL);
CREATE INDEX MSpecifIng_ID ON MSpecifIng (ID);
CREATE UNIQUE INDEX MSpecifIng_PK ON MSpecifIng (ID, IDMSPECIF);
CREATE TABLE MSpecifRec (_jet_row INTEGER PRIMARY KEY, "ID" COLLATE JETNOCASE NOT NULL,
  "IDMSPECIF" COLLATE JETNOCASE NOT NULL, "BLOQUEE" COLLATE JETNOCASE DEFAULT 0);
CREATE INDEX MSpecifRec_BLOQUEE ON MSpecifRec (BLOQUEE);
CREATE INDEX MSpecifRec_ID ON MSpecifRec (ID);
CREATE UNIQUE INDEX MSpecifRec_PK ON MSpecifRec (ID, IDMSPECIF, BLOQUEE);
CREATE TABLE NutriIngred (_jet_row INTEGER PRIMARY KEY, "ING_ID" COLLATE JETNOCASE NOT NULL,
  "NUTRI_ID" COLLATE JETNOCASE NOT NULL, "QTE" COLLATE JETNOCASE, "OPTION_MSK" COLLATE JETNOCASE);
CREATE INDEX NutriIngred_NUTRI_ID ON NutriIngred (NUTRI_ID);
CREATE UNIQUE INDEX NutriIngred_PK ON NutriIngred (ING_ID, NUTRI_ID);
CREATE TABLE NutriLibelles AS SELECT * FROM t.NutriLibelles WHERE 0;
CREATE INDEX NutriLibelles_NUMORDRE ON NutriLibelles (NUMORDRE);
CREATE UNIQUE INDEX NutriLibelles_PK ON NutriLibelles (ID);
ALTER TABLE RecetPreEmbal DROP COLUMN JJMMAAAA;
ALTER TABLE RecetPreEmbal DROP COLUMN FABRICANT;
ALTER TABLE RecetPreEmbal ADD COLUMN "FABDISPAR1" COLLATE JETNOCASE;
ALTER TABLE RecetPreEmbal ADD COLUMN "FABDISPAR2" COLLATE JETNOCASE;
ALTER TABLE RecetPreEmbal ADD COLUMN "FABDISTYPE1" COLLATE JETNOCASE;
ALTER TABLE RecetPreEmbal ADD COLUMN "FABDISTYPE2" COLLATE JETNOCASE;
ALTER TABLE RecetPreEmbal ADD COLUMN "NBREJOURS" COLLATE JETNOCASE;
ALTER TABLE Recettes ADD COLUMN "NUTRI_QTE" COLLATE JETNOCASE;
ALTER TABLE Recettes ADD COLUMN "NUTRI_UNIT" COLLATE JETNOCASE;
CREATE INDEX floor_IngRecAlias_INGRED_ID ON IngRecAlias (INGRED_ID);
CREATE INDEX floor_IngRecAlias_RECET_ID ON IngRecAlias (RECET_ID);
CREATE INDEX floor_MSpecifIng_ID ON MSpecifIng (ID);
CREATE INDEX floor_NutriIngred_ING_ID ON NutriIngred (ING_ID);
SELECT count(*) FROM Ingredients c WHERE c.NUTRI_UNIT IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM Unites p WHERE p.UNITDEF_ID = c.NUTRI_UNIT);
CREATE INDEX floor_Ingredients_NUTRI_UNIT ON Ingredients (NUTRI_UNIT);
CREATE INDEX floor_MSpecifIng_IDMSPECIF ON MSpecifIng (IDMSPECIF);
CREATE INDEX floor_MSpecifRec_IDMSPECIF ON MSpecifRec (IDMSPECIF);
CREATE INDEX floor_MSpecifRec_ID ON MSpecifRec (ID);
CREATE INDEX floor_NutriIngred_NUTRI_ID ON NutriIngred (NUTRI_ID);
SELECT count(*) FROM Recettes c WHERE c.NUTRI_UNIT IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM Unites p WHERE p.UNITDEF_ID = c.NUTRI_UNIT);
CREATE INDEX floor_Recettes_NUTRI_UNIT ON Recettes (NUTRI_UNIT);
UPDATE Langue_Printer SET (Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner) =
  (SELECT Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer s
   WHERE s.Item_Id = Langue_Printer.Item_Id) WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_Printer);
INSERT INTO Langue_Printer (Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner)
  SELECT Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer
  WHERE Item_Id NOT IN (SELECT Item_Id FROM Langue_Printer);
UPDATE Langue_System SET (Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner) =
  (SELECT Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System s
   WHERE s.Item_Id = Langue_System.Item_Id) WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_System);
INSERT INTO Langue_System (Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner)
  SELECT Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System
  WHERE Item_Id NOT IN (SELECT Item_Id FROM Langue_System);
INSERT INTO Categories (CLASS_ID, TYPE, MASQUE, PERE_ID, NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, OWNER, DATE_MAJ,
                        ASCHILD, EXPORTABLE)
  SELECT CLASS_ID, TYPE, MASQUE, PERE_ID, NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, OWNER, datetime('now'), ASCHILD,
         EXPORTABLE FROM t.Categories s WHERE NOT EXISTS (SELECT 1 FROM Categories d WHERE d.CLASS_ID = s.CLASS_ID);
INSERT INTO NutriLibelles SELECT * FROM t.NutriLibelles;
INSERT INTO LibellesPreEmballe (ID, NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, TYPE, OWNER)
  SELECT ID, NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, TYPE, OWNER FROM t.LibellesPreEmballe s
  WHERE NOT EXISTS (SELECT 1 FROM LibellesPreEmballe d WHERE d.ID = s.ID);
UPDATE Unites SET DATE_MAJ = datetime('now') WHERE OWNER = -1;
UPDATE Langue_System SET Langue_1 = '2.5.2.399', Langue_2 = '2.5.2.399', Langue_3 = '2.5.2.399',
  Langue_4 = '2.5.2.399', Langue_5 = '2.5.2.399' WHERE Libelle = 'IDS_VERSION_DB';
COMMIT;
DETACH t;

-------------------------------------------------------------- V2.5.2 -> V2.5.3
BEGIN IMMEDIATE;
ATTACH '@TEMPLATES@/tq2V2_5_3.mdb' AS t;
ALTER TABLE NutriLibelles ADD COLUMN "OWNER" COLLATE JETNOCASE;
ALTER TABLE NutriLibelles ADD COLUMN "DATE_MAJ" COLLATE JETNOCASE;
ALTER TABLE RecetPreEmbal ADD COLUMN "INGCUMDETMASENA" COLLATE JETNOCASE DEFAULT 0;
CREATE INDEX floor_NutriLibelles_OWNER ON NutriLibelles (OWNER);
UPDATE Langue_Printer SET (Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner) =
  (SELECT Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer s
   WHERE s.Item_Id = Langue_Printer.Item_Id) WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_Printer);
INSERT INTO Langue_Printer (Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner)
  SELECT Item_Id, Libelle, Classement, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Owner FROM t.Langue_Printer
  WHERE Item_Id NOT IN (SELECT Item_Id FROM Langue_Printer);
UPDATE Langue_System SET (Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner) =
  (SELECT Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System s
   WHERE s.Item_Id = Langue_System.Item_Id) WHERE Item_Id IN (SELECT Item_Id FROM t.Langue_System);
INSERT INTO Langue_System (Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner)
  SELECT Item_Id, Libelle, Langue_1, Langue_2, Langue_3, Langue_4, Langue_5, Classement, Owner FROM t.Langue_System
  WHERE Item_Id NOT IN (SELECT Item_Id FROM Langue_System);
UPDATE NutriLibelles SET OWNER = -1, DATE_MAJ = datetime('now');
INSERT INTO Categories (CLASS_ID, TYPE, MASQUE, PERE_ID, NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, OWNER, DATE_MAJ,
                        ASCHILD, EXPORTABLE)
  SELECT CLASS_ID, TYPE, MASQUE, PERE_ID, NAME_1, NAME_2, NAME_3, NAME_4, NAME_5, OWNER, datetime('now'), ASCHILD,
         EXPORTABLE FROM t.Categories s WHERE NOT EXISTS (SELECT 1 FROM Categories d WHERE d.CLASS_ID = s.CLASS_ID);
UPDATE Progression SET OWNER = -1 WHERE OWNER IS NULL;
UPDATE Langue_System SET Langue_1 = '2.5.3.459', Langue_2 = '2.5.3.459', Langue_3 = '2.5.3.459',
  Langue_4 = '2.5.3.459', Langue_5 = '2.5.3.459' WHERE Libelle = 'IDS_VERSION_DB';
COMMIT;
DETACH t;
