-- Label tables of the interface and of printed documents. Same shape in every
-- version of the database: one row per label, one text per interface language
-- (French, English, German, Spanish, Italian).
CREATE TABLE [Langue_System] ([Item_Id] SHORT CONSTRAINT [PK_Langue_System] PRIMARY KEY NOT NULL, [Libelle] TEXT(64), [Langue_1] TEXT(255), [Langue_2] TEXT(255), [Langue_3] TEXT(255), [Langue_4] TEXT(255), [Langue_5] TEXT(255), [Classement] TEXT(32), [Owner] INTEGER);
CREATE INDEX [IX_Langue_System_Libelle] ON [Langue_System] ([Libelle]);
CREATE TABLE [Langue_Printer] ([Item_Id] SHORT CONSTRAINT [PK_Langue_Printer] PRIMARY KEY NOT NULL, [Libelle] TEXT(64), [Classement] TEXT(32), [Langue_1] TEXT(255), [Langue_2] TEXT(255), [Langue_3] TEXT(255), [Langue_4] TEXT(255), [Langue_5] TEXT(255), [Owner] INTEGER);
CREATE INDEX [IX_Langue_Printer_Libelle] ON [Langue_Printer] ([Libelle]);
