#include "shell/failure.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "jetdb/jetdb.h"
#include "shell/journal.h"

namespace {

CDBException DriverError(const char* state, int native, const char* message) {
  jetdb::Error e;
  e.state = state;
  e.native = native;
  e.origin = "[jetdb][Pilote Access]";
  e.message = message;
  return CDBException::FromDriver(e);
}

// What SayLine writes, through a temporary file.
std::string Said(const char* text) {
  std::FILE* out = std::tmpfile();
  SayLine(out, "%s", text);
  std::rewind(out);
  std::string said(256, '\0');
  said.resize(std::fread(said.data(), 1, said.size(), out));
  std::fclose(out);
  return said;
}

}  // namespace

// The machine's errors become the run's reason, whoever handles them; the
// data's errors do not, and the first reason stays.
TEST(FailureTest, OnlyTheMachinesErrorsAreNotedAndTheFirstIsKept) {
  ClearFailure();
  JournalDbError(DriverError("23000", 3022, "Les modifications apportées à la table 'T' ..."));
  EXPECT_TRUE(FailureReason().IsEmpty());
  NoteDbFailure(DriverError("HY000", 3026, "Espace insuffisant sur le disque du dossier '/d' ('/d/B.mdb')."));
  EXPECT_STREQ(FailureReason().GetString(), "Espace insuffisant sur le disque du dossier '/d' ('/d/B.mdb')");
  JournalDbError(DriverError("HY001", 3035, "Mémoire insuffisante : ressources système dépassées."));
  NoteFailure("ouverture de la base à convertir impossible");
  EXPECT_STREQ(FailureReason().GetString(), "Espace insuffisant sur le disque du dossier '/d' ('/d/B.mdb')");

  ClearFailure();
  JournalDbError(DriverError("HY000", 3044, "Le chemin '/x' est trop long : 600 octets."));
  EXPECT_STREQ(FailureReason().GetString(), "Le chemin '/x' est trop long : 600 octets");
  OverrideFailure("échec de « étape » : cause.");
  EXPECT_STREQ(FailureReason().GetString(), "échec de « étape » : cause");
  ClearFailure();
}

// Every line ends with exactly one full stop, whatever its text ended with.
TEST(FailureTest, ALineEndsWithExactlyOneFullStop) {
  EXPECT_EQ(Said("base introuvable"), "updater : base introuvable.\n");
  EXPECT_EQ(Said("Format de base de données '/b.mdb' non reconnu."), "updater : Format de base de données '/b.mdb' non reconnu.\n");
  EXPECT_EQ(Said("fin.. "), "updater : fin.\n");
  EXPECT_EQ(Said("3.5 Mo libres dans /srv/a.b"), "updater : 3.5 Mo libres dans /srv/a.b.\n");
  EXPECT_STREQ(WithoutFullStop("...").GetString(), "");
}
