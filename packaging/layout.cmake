# Where an install puts things, under its prefix (/usr for the package):
# the program beside its libraries, the architecture-independent templates
# and sample under share. The installed program finds its templates from
# its own folder (src/app/template_dir.h), so these two say it once.
set(UPDATER_PROGRAM_DIR lib/toquelin)
set(UPDATER_TEMPLATE_DIR share/toquelin)
