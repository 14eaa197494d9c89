-- Schema of a Toquelin database V2.0 (version text 2.0.1.49).
-- Column sizes are those of V2.0: the upgrade widens several of them later
-- (names and symbols of units, currencies and categories, article codes,
-- planning customers), so they are deliberately narrower here. Columns and
-- tables that a later version adds do not exist yet.
-- Constraint and index names are unique in the whole database so that the
-- names the upgrade creates later (PrimaryKey, ID, TYPE, ...) never clash.

CREATE TABLE [Utilisateurs] ([USER_ID] INTEGER CONSTRAINT [PK_Utilisateurs] PRIMARY KEY NOT NULL, [NOM] TEXT(32), [MOTPASSE] TEXT(32), [LANGUE] BYTE, [DEVISE] INTEGER, [DROITS] INTEGER, [DATE_MAJ] DATETIME);

CREATE TABLE [Devises] ([DEVISE_ID] INTEGER CONSTRAINT [PK_Devises] PRIMARY KEY NOT NULL, [NAME_1] TEXT(32), [NAME_2] TEXT(32), [NAME_3] TEXT(32), [NAME_4] TEXT(32), [NAME_5] TEXT(32), [SYMBOL_1] TEXT(8), [SYMBOL_2] TEXT(8), [SYMBOL_3] TEXT(8), [SYMBOL_4] TEXT(8), [SYMBOL_5] TEXT(8), [TAUX] DOUBLE, [OWNER] INTEGER, [DATE_MAJ] DATETIME);

-- Units: system units belong to user -1. CODE_ECH is the code of the unit in
-- data exchange (UN/ECE codes where one exists, KGM, LTR, H87...; own codes
-- for the others); within one kind of unit (TYPE) a code designates one unit
-- only. No index may cover the names or symbols: V2.2 widens those columns.
CREATE TABLE [Unites] ([UNITDEF_ID] INTEGER CONSTRAINT [PK_Unites] PRIMARY KEY NOT NULL, [IMPERIAL] BIT, [CFACT] DOUBLE, [TYPE] BYTE, [OWNER] INTEGER, [NBDIGIT] SHORT, [NAME_1] TEXT(32), [NAME_2] TEXT(32), [NAME_3] TEXT(32), [NAME_4] TEXT(32), [NAME_5] TEXT(32), [SYMBOL_1] TEXT(12), [SYMBOL_2] TEXT(12), [SYMBOL_3] TEXT(12), [SYMBOL_4] TEXT(12), [SYMBOL_5] TEXT(12), [DATE_MAJ] DATETIME, [CODE_ECH] TEXT(3));
CREATE UNIQUE INDEX [UX_Unites_TypeCode] ON [Unites] ([TYPE], [CODE_ECH]);

-- The category tree: root -1, top-level categories have PERE_ID -1.
CREATE TABLE [Categories] ([CLASS_ID] INTEGER CONSTRAINT [PK_Categories] PRIMARY KEY NOT NULL, [TYPE] BYTE, [MASQUE] INTEGER, [PERE_ID] INTEGER, [NAME_1] TEXT(32), [NAME_2] TEXT(32), [NAME_3] TEXT(32), [NAME_4] TEXT(32), [NAME_5] TEXT(32), [OWNER] INTEGER, [DATE_MAJ] DATETIME, [ASCHILD] BIT);
CREATE INDEX [IX_Categories_Pere] ON [Categories] ([PERE_ID]);

CREATE TABLE [Ingredients] ([INGRED_ID] INTEGER CONSTRAINT [PK_Ingredients] PRIMARY KEY NOT NULL, [NOM] TEXT(64), [CODE_AN] TEXT(20), [UNITE] INTEGER, [PXKG] DOUBLE, [DEVISE] INTEGER, [DENSITE] DOUBLE, [RENDEMENT] DOUBLE, [OWNER] INTEGER, [DATE_MAJ] DATETIME, [REMARQUE] MEMO);
CREATE INDEX [IX_Ingredients_Nom] ON [Ingredients] ([NOM]);

CREATE TABLE [Recettes] ([RECET_ID] INTEGER CONSTRAINT [PK_Recettes] PRIMARY KEY NOT NULL, [NOM] TEXT(64), [CODE_AN] TEXT(20), [NBPORTIONS] SHORT, [PX_VENTE] CURRENCY, [DEVISE] INTEGER, [OWNER] INTEGER, [DATE_MAJ] DATETIME, [PROCEDE] MEMO);
CREATE INDEX [IX_Recettes_Nom] ON [Recettes] ([NOM]);

-- Lines of a recipe: an ingredient or a sub-recipe with its quantity.
CREATE TABLE [Compositions] ([RECET_ID] INTEGER NOT NULL, [LIGNE] SHORT NOT NULL, [INGRED_ID] INTEGER, [SOUSRECET_ID] INTEGER, [QTE] DOUBLE, [UNITE] INTEGER, CONSTRAINT [PK_Compositions] PRIMARY KEY ([RECET_ID], [LIGNE]));

-- Links of ingredients and recipes to categories. CLASSPARENT is the parent
-- (PERE_ID) of the linked category.
CREATE TABLE [CategIngre] ([INGR_ID] INTEGER NOT NULL, [CLASS_ID] INTEGER NOT NULL, [CLASSPARENT] INTEGER, [MASQUE] INTEGER, CONSTRAINT [PK_CategIngre] PRIMARY KEY ([INGR_ID], [CLASS_ID]));
CREATE INDEX [IX_CategIngre_Class] ON [CategIngre] ([CLASS_ID]);
CREATE TABLE [CategRecet] ([RECET_ID] INTEGER NOT NULL, [CLASS_ID] INTEGER NOT NULL, [CLASSPARENT] INTEGER, [MASQUE] INTEGER, CONSTRAINT [PK_CategRecet] PRIMARY KEY ([RECET_ID], [CLASS_ID]));
CREATE INDEX [IX_CategRecet_Class] ON [CategRecet] ([CLASS_ID]);

CREATE TABLE [Planning] ([PLAN_ID] INTEGER CONSTRAINT [PK_Planning] PRIMARY KEY NOT NULL, [DATEPLAN] DATETIME, [SERVICE] BYTE, [RECET_ID] INTEGER, [NBCOUVERTS] SHORT, [CLIENT] TEXT(64), [PX_VENTE] CURRENCY, [OWNER] INTEGER);
CREATE INDEX [IX_Planning_Date] ON [Planning] ([DATEPLAN]);

CREATE TABLE [FicheProduction] ([FICHE_ID] INTEGER CONSTRAINT [PK_FicheProduction] PRIMARY KEY NOT NULL, [PLAN_ID] INTEGER, [DATEPROD] DATETIME, [RECET_ID] INTEGER, [QTE] DOUBLE, [UNITE] INTEGER, [RESPONSABLE] TEXT(32), [REMARQUE] MEMO);

-- Steps of a recipe's method ("progression"), chosen from this list.
CREATE TABLE [Progression] ([IDPROGRESSION] INTEGER CONSTRAINT [PK_Progression] PRIMARY KEY NOT NULL, [PROGRESSION_1] TEXT(64), [PROGRESSION_2] TEXT(64), [PROGRESSION_3] TEXT(64), [PROGRESSION_4] TEXT(64), [PROGRESSION_5] TEXT(64), [OWNER] INTEGER);

-- Relations. [UtilisateursUnites1] ties every unit to its owner.
ALTER TABLE [Unites] ADD CONSTRAINT [UtilisateursUnites1] FOREIGN KEY ([OWNER]) REFERENCES [Utilisateurs] ([USER_ID]);
ALTER TABLE [Ingredients] ADD CONSTRAINT [FK_Ingredients_Unite] FOREIGN KEY ([UNITE]) REFERENCES [Unites] ([UNITDEF_ID]);
ALTER TABLE [Ingredients] ADD CONSTRAINT [FK_Ingredients_Devise] FOREIGN KEY ([DEVISE]) REFERENCES [Devises] ([DEVISE_ID]);
ALTER TABLE [Recettes] ADD CONSTRAINT [FK_Recettes_Devise] FOREIGN KEY ([DEVISE]) REFERENCES [Devises] ([DEVISE_ID]);
ALTER TABLE [Compositions] ADD CONSTRAINT [FK_Compositions_Recette] FOREIGN KEY ([RECET_ID]) REFERENCES [Recettes] ([RECET_ID]);
ALTER TABLE [Compositions] ADD CONSTRAINT [FK_Compositions_Ingredient] FOREIGN KEY ([INGRED_ID]) REFERENCES [Ingredients] ([INGRED_ID]);
ALTER TABLE [Compositions] ADD CONSTRAINT [FK_Compositions_SousRecette] FOREIGN KEY ([SOUSRECET_ID]) REFERENCES [Recettes] ([RECET_ID]);
ALTER TABLE [Compositions] ADD CONSTRAINT [FK_Compositions_Unite] FOREIGN KEY ([UNITE]) REFERENCES [Unites] ([UNITDEF_ID]);
ALTER TABLE [CategIngre] ADD CONSTRAINT [CategoriesCategIngre] FOREIGN KEY ([CLASS_ID]) REFERENCES [Categories] ([CLASS_ID]);
ALTER TABLE [CategIngre] ADD CONSTRAINT [IngredientsCategIngre] FOREIGN KEY ([INGR_ID]) REFERENCES [Ingredients] ([INGRED_ID]);
ALTER TABLE [CategRecet] ADD CONSTRAINT [CategoriesCategRecet] FOREIGN KEY ([CLASS_ID]) REFERENCES [Categories] ([CLASS_ID]);
ALTER TABLE [CategRecet] ADD CONSTRAINT [RecettesCategRecet] FOREIGN KEY ([RECET_ID]) REFERENCES [Recettes] ([RECET_ID]);
ALTER TABLE [Planning] ADD CONSTRAINT [FK_Planning_Recette] FOREIGN KEY ([RECET_ID]) REFERENCES [Recettes] ([RECET_ID]);
ALTER TABLE [FicheProduction] ADD CONSTRAINT [FK_FicheProduction_Planning] FOREIGN KEY ([PLAN_ID]) REFERENCES [Planning] ([PLAN_ID]);
ALTER TABLE [FicheProduction] ADD CONSTRAINT [FK_FicheProduction_Recette] FOREIGN KEY ([RECET_ID]) REFERENCES [Recettes] ([RECET_ID]);
ALTER TABLE [FicheProduction] ADD CONSTRAINT [FK_FicheProduction_Unite] FOREIGN KEY ([UNITE]) REFERENCES [Unites] ([UNITDEF_ID]);
