#!/usr/bin/env bash
# Probes a support person can rerun by hand: the program against the files
# around it (read-only templates, a source in use, planted links, odd
# settings paths, signals, kills, failures that must say why). Prints one
# result per probe; needs root (for setpriv) and python3.
# Usage: tools/probe_files.sh [BUILD_DIR]
set -u
B=${1:-$(cd "$(dirname "$0")/.." && pwd)/build}; U=$B/src/app/updater
P=$(mktemp -d); trap 'chmod -R u+w "$P"; rm -rf "$P"' EXIT; chmod 755 "$P"; mkdir -p $P/reg $P/tpl $P/out
cp $B/templates/tq2V2_*.mdb $P/tpl/; cp $B/templates/Exemple_V20.mdb $P/base.mdb
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Norvane\\Toquelin\\updater\\Générale]\n"Debug"=dword:00000000\n' > $P/reg/HKEY_CURRENT_USER.reg
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Toquelin\\tq2\\Path]\n"ExePath"="%s"\n' $P/tpl > $P/reg/HKEY_LOCAL_MACHINE.reg
run() { env UPDATER_REGISTRY=$P/reg ODBCINI=$P/odbc.ini "$@"; }
echo "1. read-only templates as nobody:"; chmod -R a+rX $P; chmod 777 $P/out; chmod 555 $P/tpl; chmod 444 $P/tpl/*
setpriv --reuid=nobody --regid=nogroup --clear-groups env UPDATER_REGISTRY=$P/reg ODBCINI=$P/out/odbc.ini $U /SRC=$P/base.mdb /DEST=$P/out/a.mdb 2>/dev/null; echo "   exit $? ; files beside templates: $(ls $P/tpl | grep -v '^tq2V2_[0-9_]*\.mdb$' | wc -l)"
chmod 755 $P/tpl; chmod 644 $P/tpl/*
echo "2. source in rollback mode, run with DEST:"; python3 -c "import sqlite3;c=sqlite3.connect('$P/base.mdb');c.execute('PRAGMA journal_mode=DELETE');c.close()"
s1=$(md5sum < $P/base.mdb); run $U /SRC=$P/base.mdb /DEST=$P/out/b.mdb 2>/dev/null; echo "   exit $? ; source unchanged: $([ "$s1" = "$(md5sum < $P/base.mdb)" ] && echo yes || echo NO); -wal/-shm: $(ls $P/base.mdb-* 2>/dev/null | wc -l)"
echo "3. copy while another program holds commits in its -wal:"
python3 - "$P" "$U" <<'PY'
import sqlite3, subprocess, sys, os
P, U = sys.argv[1], sys.argv[2]
c = sqlite3.connect(P + '/base.mdb', isolation_level=None); c.create_collation('JETNOCASE', lambda a, b: (a > b) - (a < b))
c.execute('PRAGMA journal_mode=WAL'); c.execute('PRAGMA wal_autocheckpoint=0')
c.execute("UPDATE Recettes SET CODE_AN='sonde-wal' WHERE _jet_row=1")
env = dict(os.environ, UPDATER_REGISTRY=P + '/reg', ODBCINI=P + '/odbc.ini')
r = subprocess.run([U, '/SRC=' + P + '/base.mdb', '/DEST=' + P + '/out/c.mdb'], env=env, capture_output=True)
d = sqlite3.connect(P + '/out/c.mdb'); d.create_collation('JETNOCASE', lambda a, b: (a > b) - (a < b))
print('   exit', r.returncode, '; committed row in the copy:', d.execute("SELECT count(*) FROM Recettes WHERE CODE_AN='sonde-wal'").fetchone()[0])
c.close()
PY
echo "4. relative DEST naming a template:"; t1=$(md5sum < $P/tpl/tq2V2_1.mdb); run $U /SRC=$P/base.mdb /DEST=tq2V2_1.mdb 2>$P/err; echo "   exit $? ; template unchanged: $([ "$t1" = "$(md5sum < $P/tpl/tq2V2_1.mdb)" ] && echo yes || echo NO); stderr: $(cat $P/err)"
echo "5. a path with a newline:"; cp $P/base.mdb "$P/x
[Injecte]
y.mdb"; printf '[ODBC Data Sources]\n' > $P/odbc.ini; o1=$(md5sum < $P/odbc.ini); run $U "/SRC=$P/x
[Injecte]
y.mdb" /DEST=$P/out/e.mdb 2>$P/err; echo "   exit $? ; data-source file unchanged: $([ "$o1" = "$(md5sum < $P/odbc.ini)" ] && echo yes || echo NO); stderr: $(grep '^updater' $P/err)"
echo "6. a planted Updater.log link, Debug on:"; sed -i 's/00000000/00000001/' $P/reg/HKEY_CURRENT_USER.reg; echo victime > $P/victim; ln -sf $P/victim $P/out/Updater.log
run $U /SRC=$P/base.mdb /DEST=$P/out/f.mdb </dev/null >/dev/null 2>&1; echo "   exit $? ; victim: $(cat $P/victim)"; rm $P/out/Updater.log; sed -i 's/00000001/00000000/' $P/reg/HKEY_CURRENT_USER.reg
echo "7. data-source file a link loop / a FIFO:"; ln -s $P/loop $P/loop; env UPDATER_REGISTRY=$P/reg ODBCINI=$P/loop $U /SRC=$P/base.mdb /DEST=$P/out/g.mdb 2>/dev/null; echo "   loop: exit $?"
mkfifo $P/fifo; env UPDATER_REGISTRY=$P/reg ODBCINI=$P/fifo timeout 20 $U /SRC=$P/base.mdb /DEST=$P/out/g.mdb 2>/dev/null; echo "   fifo: exit $? (124 would be a hang)"
echo "8. signals at random moments (36 tries):"; left=0; sig=0; stopped=0; for i in $(seq 0 35); do s=(INT TERM HUP); env UPDATER_REGISTRY=$P/reg ODBCINI=$P/odbc.ini $U /SRC=$P/base.mdb /DEST=$P/out/h.mdb 2>/dev/null & pid=$!; sleep 0.0$((RANDOM % 10))$((RANDOM % 10)); kill -${s[$((i%3))]} $pid 2>/dev/null; wait $pid; c=$?; [ $c -ne 0 ] && [ $c -ne 232 ] && sig=$((sig+1)); [ $c -eq 232 ] && stopped=$((stopped+1)); grep -q TQ2TMP $P/odbc.ini 2>/dev/null && left=$((left+1)); done; echo "   runs leaving data sources: $left / 36; runs ended by the signal itself: $sig; stopped cleanly with 1000: $stopped"
echo "9. debris after kill -9 during copies (20 tries):"; for i in $(seq 1 20); do env UPDATER_REGISTRY=$P/reg ODBCINI=$P/odbc.ini $U /SRC=$P/base.mdb /DEST=$P/out/k.mdb 2>/dev/null & pid=$!; sleep 0.00$((RANDOM % 10)); kill -9 $pid 2>/dev/null; wait $pid 2>/dev/null; done; echo "   files left in out/: $(ls -A $P/out | grep -v -E '^[a-k]\.mdb$|odbc' | tr '\n' ' ')"; echo "   beside odbc.ini: $(ls -A $P | grep 'odbc.ini.' | tr '\n' ' ')"
echo "10. silent failures, Debug off:"; run $U /SRC=$P/base.mdb /DEST=$P/nowhere/a.mdb; echo "   missing folder: exit $?"; run $U /SRC=; echo "   /SRC= alone: exit $?"; run $U 2>&1 | head -1; 
echo "11. a 0444 source:"; chmod 444 $P/base.mdb; run $U /SRC=$P/base.mdb /DEST=$P/out/m.mdb 2>/dev/null; echo "   exit $? ; mode $(stat -c %a $P/out/m.mdb)"
