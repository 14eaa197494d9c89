-- The sample V2.0 database: a small French restaurant kitchen, as it stands
-- before its first upgrade. Its categories, units and links are chosen so
-- that the upgrade meets every case of its merges:
--  * two import categories at the top level, one found by its French name
--    ("Importation", 60) and one only by its German name ("Import", 70),
--    each with sub-categories and ingredient and recipe links;
--  * suppliers under 52 with nested sub-categories (53, 56), an ingredient
--    linked to two sub-categories of one supplier (13), an ingredient linked
--    both to a supplier and to one of its sub-categories (22), a supplier
--    without sub-categories (80) and one that claims sub-categories it does
--    not have (81);
--  * a user unit coded "QS" among the memo units (40): the system unit 16,
--    coded "QS" too but filed among the counted units in V2.0, would
--    duplicate it once V2.1 moves it to the memo units, so the upgrade keeps
--    that unit as it is but for its owner;
--  * unit 23 missing, so that V2.1 adds it;
--  * children of 26 and 27 with links, which V2.5.1 clears.

INSERT INTO [Utilisateurs] ([USER_ID], [NOM], [MOTPASSE], [LANGUE], [DEVISE], [DROITS], [DATE_MAJ]) VALUES (2, 'Second', 'commis', 1, 1, 15, #2002-10-14 09:30:00#);

INSERT INTO [Unites] ([UNITDEF_ID], [IMPERIAL], [CFACT], [TYPE], [OWNER], [NBDIGIT], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [SYMBOL_1], [SYMBOL_2], [SYMBOL_3], [SYMBOL_4], [SYMBOL_5], [DATE_MAJ], [CODE_ECH]) VALUES (40, False, 0, 3, 1, 0, 'Quantité suffisante', 'Quantité suffisante', 'Quantité suffisante', 'Quantité suffisante', 'Quantité suffisante', 'QS', 'QS', 'QS', 'QS', 'QS', #2002-11-05 10:00:00#, 'QS');
INSERT INTO [Unites] ([UNITDEF_ID], [IMPERIAL], [CFACT], [TYPE], [OWNER], [NBDIGIT], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [SYMBOL_1], [SYMBOL_2], [SYMBOL_3], [SYMBOL_4], [SYMBOL_5], [DATE_MAJ], [CODE_ECH]) VALUES (41, False, 1, 2, 1, 0, 'botte', 'botte', 'botte', 'botte', 'botte', 'bte', 'bte', 'bte', 'bte', 'bte', #2002-11-05 10:00:00#, 'BTE');
INSERT INTO [Unites] ([UNITDEF_ID], [IMPERIAL], [CFACT], [TYPE], [OWNER], [NBDIGIT], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [SYMBOL_1], [SYMBOL_2], [SYMBOL_3], [SYMBOL_4], [SYMBOL_5], [DATE_MAJ], [CODE_ECH]) VALUES (42, False, 1, 2, 1, 0, 'barquette', 'barquette', 'barquette', 'barquette', 'barquette', 'barq.', 'barq.', 'barq.', 'barq.', 'barq.', #2002-11-05 10:00:00#, 'BAR');
INSERT INTO [Unites] ([UNITDEF_ID], [IMPERIAL], [CFACT], [TYPE], [OWNER], [NBDIGIT], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [SYMBOL_1], [SYMBOL_2], [SYMBOL_3], [SYMBOL_4], [SYMBOL_5], [DATE_MAJ], [CODE_ECH]) VALUES (43, False, 0.015, 1, 2, 2, 'cuillère à soupe', 'cuillère à soupe', 'cuillère à soupe', 'cuillère à soupe', 'cuillère à soupe', 'c.à.s.', 'c.à.s.', 'c.à.s.', 'c.à.s.', 'c.à.s.', #2002-11-05 10:00:00#, 'CAS');
INSERT INTO [Unites] ([UNITDEF_ID], [IMPERIAL], [CFACT], [TYPE], [OWNER], [NBDIGIT], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [SYMBOL_1], [SYMBOL_2], [SYMBOL_3], [SYMBOL_4], [SYMBOL_5], [DATE_MAJ], [CODE_ECH]) VALUES (44, False, 0.0005, 0, 2, 1, 'pincée', 'pincée', 'pincée', 'pincée', 'pincée', 'pincée', 'pincée', 'pincée', 'pincée', 'pincée', #2002-11-05 10:00:00#, 'PIN');

INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (29, 1, 0, 26, 'Gluten', 'Gluten', 'Gluten', 'Gluten', 'Glutine', -1, #2002-11-05 10:00:00#, False);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (30, 1, 0, 26, 'Arachide', 'Peanut', 'Erdnuss', 'Cacahuete', 'Arachide', -1, #2002-11-05 10:00:00#, False);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (31, 1, 0, 26, 'Lait', 'Milk', 'Milch', 'Leche', 'Latte', -1, #2002-11-05 10:00:00#, False);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (32, 1, 0, 27, 'Conservateurs', 'Preservatives', 'Konservierungsstoffe', 'Conservantes', 'Conservanti', -1, #2002-11-05 10:00:00#, False);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (33, 1, 0, 27, 'Colorants', 'Colourings', 'Farbstoffe', 'Colorantes', 'Coloranti', -1, #2002-11-05 10:00:00#, False);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (34, 1, 0, 27, 'Épaississants', 'Thickeners', 'Verdickungsmittel', 'Espesantes', 'Addensanti', -1, #2002-11-05 10:00:00#, False);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (53, 1, 0, 52, 'Primeurs Dubois', 'Primeurs Dubois', 'Primeurs Dubois', 'Primeurs Dubois', 'Primeurs Dubois', 1, #2002-11-05 10:00:00#, True);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (54, 1, 0, 53, 'Légumes de saison', 'Seasonal vegetables', 'Saisongemüse', 'Verduras de temporada', 'Verdure di stagione', 1, #2002-11-05 10:00:00#, False);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (55, 1, 0, 53, 'Fruits exotiques', 'Exotic fruit', 'Exotische Früchte', 'Frutas exóticas', 'Frutta esotica', 1, #2002-11-05 10:00:00#, False);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (56, 1, 0, 52, 'Marée Legrand', 'Marée Legrand', 'Marée Legrand', 'Marée Legrand', 'Marée Legrand', 1, #2002-11-05 10:00:00#, True);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (57, 1, 0, 56, 'Poissons frais', 'Fresh fish', 'Frischer Fisch', 'Pescado fresco', 'Pesce fresco', 1, #2002-11-05 10:00:00#, False);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (58, 1, 0, 56, 'Coquillages', 'Shellfish', 'Muscheln', 'Moluscos', 'Molluschi', 1, #2002-11-05 10:00:00#, True);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (59, 1, 0, 58, 'Huîtres', 'Oysters', 'Austern', 'Ostras', 'Ostriche', 1, #2002-11-05 10:00:00#, False);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (80, 1, 0, 52, 'Crèmerie Vallée', 'Crèmerie Vallée', 'Crèmerie Vallée', 'Crèmerie Vallée', 'Crèmerie Vallée', 1, #2002-11-05 10:00:00#, False);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (81, 1, 0, 52, 'Boucherie Martin', 'Boucherie Martin', 'Boucherie Martin', 'Boucherie Martin', 'Boucherie Martin', 1, #2002-11-05 10:00:00#, True);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (60, 1, 0, -1, 'Importation', 'Import', 'Import', 'Importación', 'Importazione', -1, #2002-11-05 10:00:00#, True);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (61, 1, 0, 60, 'Viandes importées', 'Imported meat', 'Importiertes Fleisch', 'Carnes importadas', 'Carni importate', -1, #2002-11-05 10:00:00#, True);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (63, 1, 0, 61, 'Gibier', 'Game', 'Wild', 'Caza', 'Selvaggina', -1, #2002-11-05 10:00:00#, False);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (62, 2, 0, 60, 'Recettes importées', 'Imported recipes', 'Importierte Rezepte', 'Recetas importadas', 'Ricette importate', -1, #2002-11-05 10:00:00#, False);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (70, 1, 0, -1, 'Reprise ancienne base', 'Old database', 'Import', 'Base antigua', 'Vecchia base', 1, #2002-11-05 10:00:00#, True);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (71, 1, 0, 70, 'Divers repris', 'Miscellaneous', 'Verschiedenes', 'Varios', 'Varie', 1, #2002-11-05 10:00:00#, False);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (100, 2, 0, 2, 'Carte d''été', 'Summer menu', 'Sommerkarte', 'Carta de verano', 'Menu estivo', 1, #2002-11-05 10:00:00#, False);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (101, 2, 0, 2, 'Menu du jour', 'Daily menu', 'Tagesmenü', 'Menú del día', 'Menu del giorno', 1, #2002-11-05 10:00:00#, False);
INSERT INTO [Categories] ([CLASS_ID], [TYPE], [MASQUE], [PERE_ID], [NAME_1], [NAME_2], [NAME_3], [NAME_4], [NAME_5], [OWNER], [DATE_MAJ], [ASCHILD]) VALUES (102, 1, 0, 1, 'Produits bio', 'Organic produce', 'Bioprodukte', 'Productos ecológicos', 'Prodotti biologici', 1, #2002-11-05 10:00:00#, False);

INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (1, 'Beurre doux', '3250390000011', 4, 8.20, 1, 0.91, 1, 1, #2003-02-11 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (2, 'Crème fraîche 35 %', '3250390000028', 9, 4.90, 1, 1.01, 1, 1, #2003-03-12 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (3, 'Lait entier', '3250390000035', 9, 0.95, 1, 1.03, 1, 1, #2003-04-13 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (4, 'Œufs frais calibre 63/73', '3250390000042', 13, 3.80, 1, 1, 0.88, 1, #2003-05-14 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (5, 'Farine de blé T55', '3250390000059', 4, 0.85, 1, 0.6, 1, 1, #2003-06-15 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (6, 'Sucre semoule', '3250390000066', 4, 1.10, 1, 0.85, 1, 1, #2003-07-16 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (7, 'Sel fin', '3250390000073', 4, 0.40, 1, 1.2, 1, 1, #2003-08-17 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (8, 'Poivre noir moulu', '3250390000080', 4, 18.50, 1, 0.5, 1, 1, #2003-09-18 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (9, 'Échalote', '3250390000097', 4, 3.20, 1, 1, 0.85, 1, #2003-01-19 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (10, 'Carotte', '3250390000103', 4, 1.10, 1, 1, 0.82, 1, #2003-02-10 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (11, 'Pomme de terre', '3250390000110', 4, 0.90, 1, 1, 0.8, 1, #2003-03-11 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (12, 'Poireau', '3250390000127', 4, 2.10, 1, 1, 0.6, 1, #2003-04-12 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (13, 'Tomate', '3250390000134', 4, 2.60, 1, 1, 0.92, 1, #2003-05-13 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (14, 'Filet de bar', '3250390000141', 4, 24.00, 1, 1, 0.95, 1, #2003-06-14 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (15, 'Moules de bouchot', '3250390000158', 4, 4.50, 1, 1, 0.4, 1, #2003-07-15 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (16, 'Huîtres creuses n° 3', '3250390000165', 13, 7.80, 1, 1, 0.2, 1, #2003-08-16 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (17, 'Saumon frais', '3250390000172', 4, 16.50, 1, 1, 0.7, 1, #2003-09-17 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (18, 'Magret de canard', '3250390000189', 4, 19.00, 1, 1, 0.85, 1, #2003-01-18 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (19, 'Paleron de bœuf', '3250390000196', 4, 13.40, 1, 1, 0.75, 1, #2003-02-19 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (20, 'Cuissot de chevreuil', '3250390000202', 4, 26.00, 1, 1, 0.7, 1, #2003-03-10 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (21, 'Épaule de sanglier', '3250390000219', 4, 18.00, 1, 1, 0.65, 1, #2003-04-11 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (22, 'Mangue', '3250390000226', 13, 4.20, 1, 1, 0.65, 1, #2003-05-12 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (23, 'Ananas', '3250390000233', 13, 3.10, 1, 1, 0.55, 1, #2003-06-13 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (24, 'Pomme golden', '3250390000240', 4, 2.20, 1, 1, 0.8, 1, #2003-07-14 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (25, 'Citron jaune', '3250390000257', 13, 3.00, 1, 1, 0.9, 1, #2003-08-15 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (26, 'Gélatine en feuilles', '3250390000264', 4, 45.00, 1, 1, 1, 1, #2003-09-16 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (27, 'Colorant caramel E150', '3250390000271', 9, 12.00, 1, 1.3, 1, 1, #2003-01-17 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (28, 'Chocolat noir 70 %', '3250390000288', 4, 14.50, 1, 1, 1, 1, #2003-02-18 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (29, 'Amandes effilées', '3250390000295', 4, 16.00, 1, 0.45, 1, 1, #2003-03-19 11:00:00#);
INSERT INTO [Ingredients] ([INGRED_ID], [NOM], [CODE_AN], [UNITE], [PXKG], [DEVISE], [DENSITE], [RENDEMENT], [OWNER], [DATE_MAJ]) VALUES (30, 'Vin blanc sec', '3250390000301', 9, 3.50, 1, 0.99, 1, 1, #2003-04-10 11:00:00#);

INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (1, 8, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (2, 8, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (3, 8, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (4, 9, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (5, 9, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (6, 9, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (7, 9, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (8, 9, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (26, 9, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (27, 9, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (28, 9, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (29, 9, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (30, 9, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (9, 6, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (10, 6, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (11, 6, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (12, 6, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (13, 6, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (14, 5, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (15, 5, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (16, 5, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (17, 5, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (18, 4, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (19, 4, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (20, 4, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (21, 4, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (22, 7, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (23, 7, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (24, 7, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (25, 7, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (10, 102, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (24, 102, 1, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (10, 54, 53, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (12, 54, 53, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (13, 54, 53, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (25, 54, 53, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (13, 55, 53, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (22, 55, 53, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (23, 55, 53, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (25, 55, 53, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (22, 53, 52, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (14, 57, 56, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (17, 57, 56, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (15, 58, 56, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (16, 59, 58, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (1, 80, 52, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (2, 80, 52, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (3, 80, 52, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (19, 61, 60, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (20, 63, 61, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (21, 63, 61, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (28, 71, 70, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (5, 71, 70, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (27, 33, 27, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (26, 34, 27, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (2, 32, 27, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (28, 242, 26, 0);
INSERT INTO [CategIngre] ([INGR_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (29, 242, 26, 0);

INSERT INTO [Recettes] ([RECET_ID], [NOM], [CODE_AN], [NBPORTIONS], [PX_VENTE], [DEVISE], [OWNER], [DATE_MAJ], [PROCEDE]) VALUES (1, 'Fond brun de veau', 'R0001', 20, 0, 1, 1, #2003-03-11 15:00:00#, 'Rôtir les os, mouiller, cuire 6 heures, passer.');
INSERT INTO [Recettes] ([RECET_ID], [NOM], [CODE_AN], [NBPORTIONS], [PX_VENTE], [DEVISE], [OWNER], [DATE_MAJ], [PROCEDE]) VALUES (2, 'Sauce vin blanc', 'R0002', 10, 0, 1, 1, #2003-03-12 15:00:00#, 'Réduire le vin blanc avec l''échalote, crémer, monter au beurre.');
INSERT INTO [Recettes] ([RECET_ID], [NOM], [CODE_AN], [NBPORTIONS], [PX_VENTE], [DEVISE], [OWNER], [DATE_MAJ], [PROCEDE]) VALUES (3, 'Velouté de poireaux', 'R0003', 10, 6.50, 1, 1, #2003-03-13 15:00:00#, 'Suer les poireaux, mouiller, cuire, mixer, crémer.');
INSERT INTO [Recettes] ([RECET_ID], [NOM], [CODE_AN], [NBPORTIONS], [PX_VENTE], [DEVISE], [OWNER], [DATE_MAJ], [PROCEDE]) VALUES (4, 'Filet de bar au beurre blanc', 'R0004', 4, 24.00, 1, 1, #2003-03-14 15:00:00#, 'Cuire le bar à l''unilatérale, napper de beurre blanc.');
INSERT INTO [Recettes] ([RECET_ID], [NOM], [CODE_AN], [NBPORTIONS], [PX_VENTE], [DEVISE], [OWNER], [DATE_MAJ], [PROCEDE]) VALUES (5, 'Moules marinières', 'R0005', 4, 14.00, 1, 1, #2003-03-15 15:00:00#, 'Ouvrir les moules au vin blanc et à l''échalote.');
INSERT INTO [Recettes] ([RECET_ID], [NOM], [CODE_AN], [NBPORTIONS], [PX_VENTE], [DEVISE], [OWNER], [DATE_MAJ], [PROCEDE]) VALUES (6, 'Magret de canard aux pommes', 'R0006', 4, 21.00, 1, 1, #2003-03-16 15:00:00#, 'Quadriller le magret, cuire côté peau, poêler les pommes.');
INSERT INTO [Recettes] ([RECET_ID], [NOM], [CODE_AN], [NBPORTIONS], [PX_VENTE], [DEVISE], [OWNER], [DATE_MAJ], [PROCEDE]) VALUES (7, 'Civet de chevreuil', 'R0007', 8, 26.00, 1, 1, #2003-03-17 15:00:00#, 'Mariner la veille, saisir, mouiller au vin, mijoter 2 heures.');
INSERT INTO [Recettes] ([RECET_ID], [NOM], [CODE_AN], [NBPORTIONS], [PX_VENTE], [DEVISE], [OWNER], [DATE_MAJ], [PROCEDE]) VALUES (8, 'Crème caramel', 'R0008', 8, 6.00, 1, 1, #2003-03-18 15:00:00#, 'Caraméliser les moules, verser l''appareil, cuire au bain-marie.');
INSERT INTO [Recettes] ([RECET_ID], [NOM], [CODE_AN], [NBPORTIONS], [PX_VENTE], [DEVISE], [OWNER], [DATE_MAJ], [PROCEDE]) VALUES (9, 'Tarte fine aux pommes', 'R0009', 8, 7.50, 1, 1, #2003-03-19 15:00:00#, 'Abaisser la pâte, ranger les pommes, cuire à 200 °C.');
INSERT INTO [Recettes] ([RECET_ID], [NOM], [CODE_AN], [NBPORTIONS], [PX_VENTE], [DEVISE], [OWNER], [DATE_MAJ], [PROCEDE]) VALUES (10, 'Carpaccio d''ananas à la mangue', 'R0010', 4, 8.00, 1, 1, #2003-03-10 15:00:00#, 'Trancher l''ananas finement, napper de coulis de mangue.');
INSERT INTO [Recettes] ([RECET_ID], [NOM], [CODE_AN], [NBPORTIONS], [PX_VENTE], [DEVISE], [OWNER], [DATE_MAJ], [PROCEDE]) VALUES (11, 'Terrine de sanglier', 'R0011', 12, 9.50, 1, 1, #2003-03-11 15:00:00#, 'Hacher, assaisonner, mouler, cuire au bain-marie.');

INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (1, 14, 2, 0);
INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (2, 13, 2, 0);
INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (3, 10, 2, 0);
INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (4, 11, 2, 0);
INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (5, 11, 2, 0);
INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (6, 11, 2, 0);
INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (7, 11, 2, 0);
INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (8, 12, 2, 0);
INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (9, 12, 2, 0);
INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (10, 12, 2, 0);
INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (11, 10, 2, 0);
INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (3, 101, 2, 0);
INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (5, 101, 2, 0);
INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (10, 100, 2, 0);
INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (4, 100, 2, 0);
INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (7, 62, 60, 0);
INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (11, 62, 60, 0);
INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (11, 63, 61, 0);
INSERT INTO [CategRecet] ([RECET_ID], [CLASS_ID], [CLASSPARENT], [MASQUE]) VALUES (8, 33, 27, 0);

INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (2, 1, 30, Null, 0.3, 9);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (2, 2, 9, Null, 0.1, 4);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (2, 3, 2, Null, 0.2, 9);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (2, 4, 1, Null, 0.15, 4);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (3, 1, 12, Null, 1.2, 4);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (3, 2, 11, Null, 0.4, 4);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (3, 3, 2, Null, 0.2, 9);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (3, 4, 7, Null, 1, 16);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (4, 1, 14, Null, 0.72, 4);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (4, 2, Null, 2, 0.4, 14);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (4, 3, 7, Null, 1, 40);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (5, 1, 15, Null, 1.6, 4);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (5, 2, 30, Null, 0.2, 9);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (5, 3, 9, Null, 0.08, 4);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (5, 4, 8, Null, 1, 15);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (6, 1, 18, Null, 0.9, 4);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (6, 2, 24, Null, 0.6, 4);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (6, 3, 1, Null, 0.03, 4);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (7, 1, 20, Null, 1.8, 4);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (7, 2, 30, Null, 0.75, 9);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (7, 3, Null, 1, 0.5, 9);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (7, 4, 10, Null, 0.3, 4);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (8, 1, 3, Null, 1, 9);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (8, 2, 4, Null, 8, 13);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (8, 3, 6, Null, 0.2, 4);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (8, 4, 27, Null, 0.01, 9);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (9, 1, 24, Null, 1, 4);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (9, 2, 5, Null, 0.25, 4);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (9, 3, 1, Null, 0.15, 4);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (9, 4, 6, Null, 0.08, 4);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (10, 1, 23, Null, 1, 13);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (10, 2, 22, Null, 1, 13);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (10, 3, 25, Null, 1, 13);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (11, 1, 21, Null, 1.5, 4);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (11, 2, 4, Null, 2, 13);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (11, 3, 8, Null, 1, 44);
INSERT INTO [Compositions] ([RECET_ID], [LIGNE], [INGRED_ID], [SOUSRECET_ID], [QTE], [UNITE]) VALUES (11, 4, 29, Null, 0.05, 4);

INSERT INTO [Planning] ([PLAN_ID], [DATEPLAN], [SERVICE], [RECET_ID], [NBCOUVERTS], [CLIENT], [PX_VENTE], [OWNER]) VALUES (1, #2003-06-16 12:00:00#, 1, 3, 35, 'Restaurant', 6.50, 1);
INSERT INTO [Planning] ([PLAN_ID], [DATEPLAN], [SERVICE], [RECET_ID], [NBCOUVERTS], [CLIENT], [PX_VENTE], [OWNER]) VALUES (2, #2003-06-16 12:00:00#, 1, 4, 18, 'Restaurant', 24.00, 1);
INSERT INTO [Planning] ([PLAN_ID], [DATEPLAN], [SERVICE], [RECET_ID], [NBCOUVERTS], [CLIENT], [PX_VENTE], [OWNER]) VALUES (3, #2003-06-16 19:30:00#, 2, 6, 22, 'Restaurant', 21.00, 1);
INSERT INTO [Planning] ([PLAN_ID], [DATEPLAN], [SERVICE], [RECET_ID], [NBCOUVERTS], [CLIENT], [PX_VENTE], [OWNER]) VALUES (4, #2003-06-17 12:00:00#, 1, 5, 30, 'Restaurant', 14.00, 1);
INSERT INTO [Planning] ([PLAN_ID], [DATEPLAN], [SERVICE], [RECET_ID], [NBCOUVERTS], [CLIENT], [PX_VENTE], [OWNER]) VALUES (5, #2003-06-21 19:00:00#, 2, 7, 120, 'Mariage Lefèvre-Rousseau, salle des fêtes de Saint-Aubin', 26.00, 1);
INSERT INTO [Planning] ([PLAN_ID], [DATEPLAN], [SERVICE], [RECET_ID], [NBCOUVERTS], [CLIENT], [PX_VENTE], [OWNER]) VALUES (6, #2003-06-21 19:00:00#, 2, 9, 120, 'Mariage Lefèvre-Rousseau, salle des fêtes de Saint-Aubin', 7.50, 1);
INSERT INTO [Planning] ([PLAN_ID], [DATEPLAN], [SERVICE], [RECET_ID], [NBCOUVERTS], [CLIENT], [PX_VENTE], [OWNER]) VALUES (7, #2003-06-24 12:30:00#, 1, 11, 45, 'Séminaire Coopérative agricole du Val', 9.50, 1);
INSERT INTO [Planning] ([PLAN_ID], [DATEPLAN], [SERVICE], [RECET_ID], [NBCOUVERTS], [CLIENT], [PX_VENTE], [OWNER]) VALUES (8, #2003-06-24 12:30:00#, 1, 10, 45, 'Séminaire Coopérative agricole du Val', 8.00, 1);

INSERT INTO [FicheProduction] ([FICHE_ID], [PLAN_ID], [DATEPROD], [RECET_ID], [QTE], [UNITE], [RESPONSABLE], [REMARQUE]) VALUES (1, 1, #2003-06-16 08:00:00#, 3, 4, 17, 'Second', 'Prévoir 35 couverts');
INSERT INTO [FicheProduction] ([FICHE_ID], [PLAN_ID], [DATEPROD], [RECET_ID], [QTE], [UNITE], [RESPONSABLE], [REMARQUE]) VALUES (2, 2, #2003-06-16 09:00:00#, 2, 2, 9, 'Chef', 'Beurre blanc minute');
INSERT INTO [FicheProduction] ([FICHE_ID], [PLAN_ID], [DATEPROD], [RECET_ID], [QTE], [UNITE], [RESPONSABLE], [REMARQUE]) VALUES (3, 5, #2003-06-20 14:00:00#, 7, 15, 14, 'Chef', 'Mariner la veille');
INSERT INTO [FicheProduction] ([FICHE_ID], [PLAN_ID], [DATEPROD], [RECET_ID], [QTE], [UNITE], [RESPONSABLE], [REMARQUE]) VALUES (4, 5, #2003-06-20 14:00:00#, 1, 6, 9, 'Second', 'Fond pour le civet');
INSERT INTO [FicheProduction] ([FICHE_ID], [PLAN_ID], [DATEPROD], [RECET_ID], [QTE], [UNITE], [RESPONSABLE], [REMARQUE]) VALUES (5, 6, #2003-06-21 10:00:00#, 9, 15, 14, 'Second', '');
INSERT INTO [FicheProduction] ([FICHE_ID], [PLAN_ID], [DATEPROD], [RECET_ID], [QTE], [UNITE], [RESPONSABLE], [REMARQUE]) VALUES (6, 7, #2003-06-23 16:00:00#, 11, 4, 14, 'Chef', 'Terrines pour le séminaire');

INSERT INTO [Progression] ([IDPROGRESSION], [PROGRESSION_1], [PROGRESSION_2], [PROGRESSION_3], [PROGRESSION_4], [PROGRESSION_5], [OWNER]) VALUES (10, 'Marinade la veille', 'Marinate the day before', 'Am Vortag marinieren', 'Marinar la víspera', 'Marinare il giorno prima', 1);
INSERT INTO [Progression] ([IDPROGRESSION], [PROGRESSION_1], [PROGRESSION_2], [PROGRESSION_3], [PROGRESSION_4], [PROGRESSION_5], [OWNER]) VALUES (11, 'Cuisson sous vide', 'Sous-vide cooking', 'Sous-vide garen', 'Cocción al vacío', 'Cottura sottovuoto', 1);
