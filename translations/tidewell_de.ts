<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AdvancedSection</name>
    <message>
        <source>Advanced</source>
        <translation>Erweitert</translation>
    </message>
    <message>
        <source>What the copies keep besides contents, times and permissions:</source>
        <translation>Was die Kopien außer Inhalt, Zeiten und Rechten bewahren:</translation>
    </message>
    <message>
        <source>Hard links (-H)</source>
        <translation>Harte Links (-H)</translation>
    </message>
    <message>
        <source>ACLs (-A)</source>
        <translation>ACLs (-A)</translation>
    </message>
    <message>
        <source>Extended attributes (-X)</source>
        <translation>Erweiterte Attribute (-X)</translation>
    </message>
    <message>
        <source>Owners by number, not by name (--numeric-ids)</source>
        <translation>Eigentümer nach Nummer statt Name (--numeric-ids)</translation>
    </message>
    <message>
        <source>Sparse files stay sparse (--sparse)</source>
        <translation>Dünn besetzte Dateien bleiben dünn (--sparse)</translation>
    </message>
    <message>
        <source>Server&apos;s rsync</source>
        <translation>rsync des Servers</translation>
    </message>
    <message>
        <source>Run with sudo on the server</source>
        <translation>Auf dem Server mit sudo ausführen</translation>
    </message>
    <message>
        <source>rsync runs as root there (sudo -n: it never asks for a password), so root-only files are copied and a restore can set owners</source>
        <translation>rsync läuft dort als root (sudo -n: fragt nie nach einem Passwort), so werden auch nur für root lesbare Dateien kopiert und eine Wiederherstellung kann Eigentümer setzen</translation>
    </message>
    <message>
        <source>Check sudo</source>
        <translation>sudo prüfen</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Wird geprüft …</translation>
    </message>
    <message>
        <source>The backup folder&apos;s file system does not store extended attributes (%1): owners, groups and extended attributes are not kept.</source>
        <translation>Das Dateisystem des Sicherungsordners speichert keine erweiterten Attribute (%1): Eigentümer, Gruppen und erweiterte Attribute werden nicht bewahrt.</translation>
    </message>
    <message>
        <source>Asking the server…</source>
        <translation>Server wird gefragt …</translation>
    </message>
    <message>
        <source>Last run: %1</source>
        <translation>Letzter Lauf: %1</translation>
    </message>
    <message>
        <source>Owners and groups</source>
        <translation>Eigentümer und Gruppen</translation>
    </message>
    <message>
        <source>Kept in extended attributes of the copies when Tidewell is not root.</source>
        <translation>In erweiterten Attributen der Kopien bewahrt, wenn Tidewell nicht als root läuft.</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>Automatisch</translation>
    </message>
    <message>
        <source>Hard links</source>
        <translation>Harte Links</translation>
    </message>
    <message>
        <source>btrfs subvolumes</source>
        <translation>btrfs-Subvolumes</translation>
    </message>
    <message>
        <source>Automatic: btrfs subvolumes where the backup folder allows them, hard links elsewhere. On btrfs a day is a snapshot of the day before, and rsync rewrites only what changed: an unchanged day and an edit inside a large file cost almost nothing.</source>
        <translation>Automatisch: btrfs-Subvolumes, wo der Sicherungsordner sie erlaubt, sonst harte Links. Auf btrfs ist ein Tag ein Snapshot des Vortags, und rsync schreibt nur, was sich geändert hat: ein unveränderter Tag und eine Änderung in einer großen Datei kosten fast nichts.</translation>
    </message>
    <message>
        <source>Snapshots</source>
        <translation>Snapshots</translation>
    </message>
    <message>
        <source>In use: btrfs subvolumes (the last backup made its day as one).</source>
        <translation>In Gebrauch: btrfs-Subvolumes (die letzte Sicherung hat ihren Tag als eines angelegt).</translation>
    </message>
    <message>
        <source>In use: hard links (the last backup linked its day&apos;s unchanged files).</source>
        <translation>In Gebrauch: harte Links (die letzte Sicherung hat die unveränderten Dateien ihres Tages verlinkt).</translation>
    </message>
    <message>
        <source>The backup folder is on btrfs: the next day becomes a btrfs subvolume.</source>
        <translation>Der Sicherungsordner liegt auf btrfs: der nächste Tag wird ein btrfs-Subvolume.</translation>
    </message>
    <message>
        <source>The backup folder is not on btrfs: days are made with hard links.</source>
        <translation>Der Sicherungsordner liegt nicht auf btrfs: Tage werden mit harten Links angelegt.</translation>
    </message>
    <message>
        <source>In use: hard links.</source>
        <translation>In Gebrauch: harte Links.</translation>
    </message>
    <message>
        <source>The backups are encrypted: days are made with hard links.</source>
        <translation>Die Sicherungen sind verschlüsselt: Tage werden mit harten Links angelegt.</translation>
    </message>
</context>
<context>
    <name>BackupRunView</name>
    <message>
        <source>Backup</source>
        <translation>Sicherung</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Reveal destination</source>
        <translation>Ziel anzeigen</translation>
    </message>
    <message>
        <source>Copy log</source>
        <translation>Protokoll kopieren</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Preparing…</source>
        <translation>Wird vorbereitet …</translation>
    </message>
    <message>
        <source>Backup not started</source>
        <translation>Sicherung nicht gestartet</translation>
    </message>
    <message>
        <source>Restore not started</source>
        <translation>Wiederherstellung nicht gestartet</translation>
    </message>
    <message>
        <source>Backup cancelled</source>
        <translation>Sicherung abgebrochen</translation>
    </message>
    <message>
        <source>Restore cancelled</source>
        <translation>Wiederherstellung abgebrochen</translation>
    </message>
    <message>
        <source>Backup completed, but %1</source>
        <translation>Sicherung abgeschlossen, aber %1</translation>
    </message>
    <message>
        <source>Backup completed</source>
        <translation>Sicherung abgeschlossen</translation>
    </message>
    <message>
        <source>Restore completed</source>
        <translation>Wiederherstellung abgeschlossen</translation>
    </message>
    <message>
        <source>Backup failed (exit %1)</source>
        <translation>Sicherung fehlgeschlagen (Exit-Code %1)</translation>
    </message>
    <message>
        <source>Restore failed (exit %1)</source>
        <translation>Wiederherstellung fehlgeschlagen (Exit-Code %1)</translation>
    </message>
    <message>
        <source>Running: %1</source>
        <translation>Läuft: %1</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Stop now, keeping what was copied: Resume (or the next run) goes on from there.</source>
        <translation>Jetzt anhalten und behalten, was kopiert ist: „Fortsetzen“ (oder der nächste Lauf) macht dort weiter.</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Fortsetzen</translation>
    </message>
    <message>
        <source>Backup paused</source>
        <translation>Sicherung angehalten</translation>
    </message>
    <message>
        <source>Backup of %1</source>
        <translation>Sicherung von %1</translation>
    </message>
    <message>
        <source>Waiting for a free slot…</source>
        <translation>Wartet auf einen freien Platz …</translation>
    </message>
    <message>
        <source>The backup goes on: show it again from its server or the tray.</source>
        <translation>Die Sicherung läuft weiter: Über ihren Server oder das Symbol in der Kontrollleiste lässt sie sich wieder anzeigen.</translation>
    </message>
</context>
<context>
    <name>BackupsSection</name>
    <message>
        <source>Backups</source>
        <translation>Sicherungen</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>No backups yet.</source>
        <translation>Noch keine Sicherungen.</translation>
    </message>
    <message>
        <source>complete</source>
        <translation>vollständig</translation>
    </message>
    <message>
        <source>incomplete</source>
        <translation>unvollständig</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Browse…</source>
        <translation>Durchsuchen …</translation>
    </message>
    <message>
        <source>Show this backup in the file manager</source>
        <translation>Diese Sicherung im Dateimanager zeigen</translation>
    </message>
    <message>
        <source>Find files in this backup and restore them</source>
        <translation>Dateien in dieser Sicherung finden und wiederherstellen</translation>
    </message>
    <message>
        <source>Opening the encrypted folder…</source>
        <translation>Der verschlüsselte Ordner wird geöffnet…</translation>
    </message>
    <message>
        <source>The encrypted folder cannot be opened: %1</source>
        <translation>Der verschlüsselte Ordner kann nicht geöffnet werden: %1</translation>
    </message>
</context>
<context>
    <name>ChangeCommand</name>
    <message>
        <source>tidewell: the configuration could not be read: %1</source>
        <translation>tidewell: die Konfiguration konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>tidewell: the old backups of “%1” stay held: %2</source>
        <translation>tidewell: die alten Sicherungen von „%1“ bleiben behalten: %2</translation>
    </message>
    <message>
        <source>Old backups of “%1” are pruned again from its next run.</source>
        <translation>Alte Sicherungen von „%1“ werden ab dem nächsten Lauf wieder ausgedünnt.</translation>
    </message>
    <message>
        <source>No change of “%1” is held.</source>
        <translation>Für „%1“ wird keine Änderung zurückgehalten.</translation>
    </message>
</context>
<context>
    <name>ChangeHold</name>
    <message>
        <source>%1 % of the files changed since %2 (%3 of %4): old backups are kept until you confirm this change.</source>
        <translation>%1 % der Dateien haben sich seit %2 geändert (%3 von %4): alte Sicherungen werden behalten, bis Sie diese Änderung bestätigen.</translation>
    </message>
</context>
<context>
    <name>CommandsSection</name>
    <message>
        <source>Commands on this computer</source>
        <translation>Befehle auf diesem Computer</translation>
    </message>
    <message>
        <source>Before the run</source>
        <translation>Vor dem Lauf</translation>
    </message>
    <message>
        <source>After a successful run</source>
        <translation>Nach einem erfolgreichen Lauf</translation>
    </message>
    <message>
        <source>After a failed run</source>
        <translation>Nach einem fehlgeschlagenen Lauf</translation>
    </message>
    <message>
        <source>Stop a command after</source>
        <translation>Einen Befehl beenden nach</translation>
    </message>
    <message>
        <source>Each is a program&apos;s absolute path and its arguments, run without a shell (quote an argument with spaces as &quot;…&quot;). It gets TIDEWELL_SERVER_ID, TIDEWELL_SERVER_NAME, TIDEWELL_SNAPSHOT and, after the run, TIDEWELL_EXIT_CODE; its output goes into the run&apos;s log. When the command before the run fails, the run ends with its exit code and nothing is copied.</source>
        <translation>Jeder ist der absolute Pfad eines Programms mit seinen Argumenten, ausgeführt ohne Shell (ein Argument mit Leerzeichen in &quot;…&quot; setzen). Er erhält TIDEWELL_SERVER_ID, TIDEWELL_SERVER_NAME, TIDEWELL_SNAPSHOT und nach dem Lauf TIDEWELL_EXIT_CODE; seine Ausgabe steht im Protokoll des Laufs. Schlägt der Befehl vor dem Lauf fehl, endet der Lauf mit dessen Exit-Code, und nichts wird kopiert.</translation>
    </message>
    <message>
        <source>e.g. /usr/local/bin/mount-backup-drive --quiet</source>
        <translation>z. B. /usr/local/bin/mount-backup-drive --quiet</translation>
    </message>
</context>
<context>
    <name>CompareDialog</name>
    <message>
        <source>Compare two backups</source>
        <translation>Zwei Sicherungen vergleichen</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Vergleichen</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Von</translation>
    </message>
    <message>
        <source>to</source>
        <translation>bis</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Änderung</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Comparing…</source>
        <translation>Wird verglichen …</translation>
    </message>
    <message>
        <source>added</source>
        <translation>hinzugefügt</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>entfernt</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>geändert</translation>
    </message>
    <message>
        <source>%1: %2 added, %3 removed, %4 changed</source>
        <translation>%1: %2 hinzugefügt, %3 entfernt, %4 geändert</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) compared.</source>
        <translation>
            <numerusform>%n Datei verglichen.</numerusform>
            <numerusform>%n Dateien verglichen.</numerusform>
        </translation>
    </message>
    <message>
        <source>Stopped. So far: %1</source>
        <translation>Angehalten. Bis dahin: %1</translation>
    </message>
    <message>
        <source>Changes between the two backups</source>
        <translation>Änderungen zwischen den beiden Sicherungen</translation>
    </message>
    <message>
        <source>Show changes…</source>
        <translation>Änderungen anzeigen …</translation>
    </message>
    <message>
        <source>Restore to this computer…</source>
        <translation>Auf diesen Rechner wiederherstellen …</translation>
    </message>
    <message>
        <source>Restore to the server…</source>
        <translation>Auf den Server wiederherstellen …</translation>
    </message>
    <message>
        <source>Copies that are not one hard-linked file were compared by size, modification time and content fingerprint.</source>
        <translation>Kopien, die nicht dieselbe hart verlinkte Datei sind, wurden nach Größe, Änderungszeit und Inhaltsfingerabdruck verglichen.</translation>
    </message>
    <message>
        <source>Copies that are not one hard-linked file were compared by size and modification time.</source>
        <translation>Kopien, die nicht dieselbe hart verlinkte Datei sind, wurden nach Größe und Änderungszeit verglichen.</translation>
    </message>
</context>
<context>
    <name>ConfigCommand</name>
    <message>
        <source>tidewell: the configuration could not be read: %1</source>
        <translation>tidewell: die Konfiguration konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>replaced %1</source>
        <translation>ersetzt: %1</translation>
    </message>
    <message>
        <source>added %1</source>
        <translation>hinzugefügt: %1</translation>
    </message>
    <message>
        <source>removed %1</source>
        <translation>entfernt: %1</translation>
    </message>
    <message>
        <source>tidewell: nothing imported: add --replace to replace the configuration with the file&apos;s</source>
        <translation>tidewell: nichts importiert: mit --replace ersetzt die Datei die Konfiguration</translation>
    </message>
    <message>
        <source>removed %1; its backups stay in %2</source>
        <translation>entfernt: %1; seine Sicherungen bleiben in %2</translation>
    </message>
    <message>
        <source>tidewell: the schedule of %1 could not be removed: %2</source>
        <translation>tidewell: der Zeitplan von %1 konnte nicht entfernt werden: %2</translation>
    </message>
    <message>
        <source>schedule removed for %1</source>
        <translation>Zeitplan entfernt: %1</translation>
    </message>
</context>
<context>
    <name>ConfigTransfer</name>
    <message numerus="yes">
        <source>“%1” contains %n server(s). This will replace your current configuration. Scheduled backups will be re-synced to match.</source>
        <translation>
            <numerusform>„%1“ enthält %n Server. Damit wird Ihre jetzige Konfiguration ersetzt. Geplante Sicherungen werden entsprechend neu eingerichtet.</numerusform>
            <numerusform>„%1“ enthält %n Server. Damit wird Ihre jetzige Konfiguration ersetzt. Geplante Sicherungen werden entsprechend neu eingerichtet.</numerusform>
        </translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>Exportiert nach %1</translation>
    </message>
    <message>
        <source>Import failed: %1</source>
        <translation>Import fehlgeschlagen: %1</translation>
    </message>
    <message numerus="yes">
        <source>Imported %n server(s) from %1</source>
        <translation>
            <numerusform>%n Server aus %1 importiert</numerusform>
            <numerusform>%n Server aus %1 importiert</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n server(s) repeated another server&apos;s id and were given a new one)</source>
        <translation>
            <numerusform>%1 (%n Server hatte dieselbe ID wie ein anderer und bekam eine neue)</numerusform>
            <numerusform>%1 (%n Server hatten dieselbe ID wie ein anderer und bekamen eine neue)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, but %n schedule(s) not installed: %2</source>
        <translation>
            <numerusform>%1, aber %n Zeitplan wurde nicht eingerichtet: %2</numerusform>
            <numerusform>%1, aber %n Zeitpläne wurden nicht eingerichtet: %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n for other reasons)</source>
        <translation>
            <numerusform>%1 (%n aus anderen Gründen)</numerusform>
            <numerusform>%1 (%n aus anderen Gründen)</numerusform>
        </translation>
    </message>
    <message>
        <source>Import configuration?</source>
        <translation>Konfiguration importieren?</translation>
    </message>
</context>
<context>
    <name>ConnectionSection</name>
    <message>
        <source>Connection</source>
        <translation>Verbindung</translation>
    </message>
    <message>
        <source>The port must be a whole number from 1 to 65535.</source>
        <translation>Der Port muss eine ganze Zahl von 1 bis 65535 sein.</translation>
    </message>
    <message>
        <source>Use keys loaded in ssh-agent instead of a file on disk. Supports passphrase-protected keys.</source>
        <translation>Im ssh-agent geladene Schlüssel statt einer Datei verwenden. Auch Schlüssel mit Passphrase sind möglich.</translation>
    </message>
    <message>
        <source>Use ssh-agent</source>
        <translation>ssh-agent verwenden</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Username</source>
        <translation>Benutzername</translation>
    </message>
    <message>
        <source>SSH private key</source>
        <translation>Privater SSH-Schlüssel</translation>
    </message>
    <message>
        <source>Create a key</source>
        <translation>Schlüssel erzeugen</translation>
    </message>
    <message>
        <source>Make a new ed25519 key without a passphrase at the path shown (ssh-keygen)</source>
        <translation>Einen neuen ed25519-Schlüssel ohne Passphrase am angezeigten Pfad erzeugen (ssh-keygen)</translation>
    </message>
    <message>
        <source>Install key on server…</source>
        <translation>Auf dem Server einrichten …</translation>
    </message>
    <message>
        <source>Add the public key to the account&apos;s authorized keys, with its password asked for once (ssh-copy-id)</source>
        <translation>Den öffentlichen Schlüssel zu den erlaubten Schlüsseln des Kontos hinzufügen; dessen Passwort wird einmal abgefragt (ssh-copy-id)</translation>
    </message>
    <message>
        <source>KB/s (0 = no limit)</source>
        <translation>KB/s (0 = unbegrenzt)</translation>
    </message>
    <message>
        <source>Limit bandwidth to</source>
        <translation>Bandbreite begrenzen auf</translation>
    </message>
    <message>
        <source>Test connection</source>
        <translation>Verbindung testen</translation>
    </message>
    <message>
        <source>ssh-agent holds no keys: add yours with ssh-add (in a terminal: ssh-add ~/.ssh/id_ed25519).</source>
        <translation>ssh-agent enthält keine Schlüssel: Fügen Sie Ihren mit ssh-add hinzu (im Terminal: ssh-add ~/.ssh/id_ed25519).</translation>
    </message>
    <message>
        <source>No ssh-agent answers in this session: start one, or turn “Use ssh-agent” off and choose a key file.</source>
        <translation>In dieser Sitzung antwortet kein ssh-agent: Starten Sie einen, oder schalten Sie „ssh-agent verwenden“ aus und wählen Sie eine Schlüsseldatei.</translation>
    </message>
    <message>
        <source>There is no key at this path yet: create one here, or let “Install key on server…” make it.</source>
        <translation>An diesem Pfad liegt noch kein Schlüssel: Erzeugen Sie hier einen, oder lassen Sie „Auf dem Server einrichten …“ ihn anlegen.</translation>
    </message>
    <message>
        <source>This key has a passphrase: turn on “Use ssh-agent” and add it with ssh-add</source>
        <translation>Dieser Schlüssel hat eine Passphrase: Schalten Sie „ssh-agent verwenden“ ein und fügen Sie ihn mit ssh-add hinzu</translation>
    </message>
    <message>
        <source>This key cannot be used: %1</source>
        <translation>Dieser Schlüssel ist nicht verwendbar: %1</translation>
    </message>
    <message>
        <source>Could not create the key: %1</source>
        <translation>Der Schlüssel konnte nicht erzeugt werden: %1</translation>
    </message>
    <message>
        <source>Key created. Next: install it on the server.</source>
        <translation>Schlüssel erzeugt. Als Nächstes: auf dem Server einrichten.</translation>
    </message>
    <message>
        <source>Install key on server</source>
        <translation>Schlüssel auf dem Server einrichten</translation>
    </message>
    <message>
        <source>Password of %1 on %2 (used once to install the key; never stored):</source>
        <translation>Passwort von %1 auf %2 (nur einmal zum Einrichten des Schlüssels verwendet, nie gespeichert):</translation>
    </message>
    <message>
        <source>Creating the key…</source>
        <translation>Schlüssel wird erzeugt …</translation>
    </message>
    <message>
        <source>Trust the server&apos;s host key first (under “Host key” below); the key is installed next.</source>
        <translation>Vertrauen Sie zuerst dem Hostschlüssel des Servers (unten unter „Hostschlüssel“); danach wird der Schlüssel eingerichtet.</translation>
    </message>
    <message>
        <source>Installing the key…</source>
        <translation>Schlüssel wird eingerichtet …</translation>
    </message>
    <message>
        <source>Could not install the key: %1</source>
        <translation>Der Schlüssel konnte nicht eingerichtet werden: %1</translation>
    </message>
    <message>
        <source>The key is installed on the server.</source>
        <translation>Der Schlüssel ist auf dem Server eingerichtet.</translation>
    </message>
    <message>
        <source>host “%1”</source>
        <translation>Host „%1“</translation>
    </message>
    <message>
        <source>user “%1”</source>
        <translation>Benutzer „%1“</translation>
    </message>
    <message>
        <source>port %1</source>
        <translation>Port %1</translation>
    </message>
    <message>
        <source>Split into %1.</source>
        <translation>Aufgeteilt in %1.</translation>
    </message>
    <message>
        <source>Testing…</source>
        <translation>Wird getestet …</translation>
    </message>
    <message>
        <source>✓ Connected</source>
        <translation>✓ Verbunden</translation>
    </message>
    <message>
        <source>✗ Failed</source>
        <translation>✗ Fehlgeschlagen</translation>
    </message>
    <message>
        <source>The server accepted none of ssh-agent&apos;s keys: add the right one with ssh-add, or turn “Use ssh-agent” off and install a key file.</source>
        <translation>Der Server hat keinen Schlüssel des ssh-agent angenommen: Fügen Sie den richtigen mit ssh-add hinzu, oder schalten Sie „ssh-agent verwenden“ aus und richten Sie eine Schlüsseldatei ein.</translation>
    </message>
    <message>
        <source>The server did not accept this key: use “Install key on server…” to add it with the account&apos;s password.</source>
        <translation>Der Server hat diesen Schlüssel nicht angenommen: Fügen Sie ihn mit „Auf dem Server einrichten …“ und dem Passwort des Kontos hinzu.</translation>
    </message>
    <message>
        <source>The server&apos;s host key is not trusted: check it under “Host key”.</source>
        <translation>Dem Hostschlüssel des Servers wird nicht vertraut: Prüfen Sie ihn unter „Hostschlüssel“.</translation>
    </message>
    <message>
        <source>The host key is not trusted yet: check it under “Host key” below. The test goes on once you trust it.</source>
        <translation>Dem Hostschlüssel wird noch nicht vertraut: Prüfen Sie ihn unten unter „Hostschlüssel“. Der Test geht weiter, sobald Sie ihm vertrauen.</translation>
    </message>
    <message>
        <source>Choose SSH private key</source>
        <translation>Privaten SSH-Schlüssel wählen</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Create a separate key for Tidewell</source>
        <translation>Einen eigenen Schlüssel für Tidewell erstellen</translation>
    </message>
    <message>
        <source>Make a key without a passphrase for Tidewell alone (~/.ssh/tidewell_ed25519) and install it on the server; your own key stays as it is</source>
        <translation>Einen Schlüssel ohne Passphrase nur für Tidewell erstellen (~/.ssh/tidewell_ed25519) und auf dem Server installieren; Ihr eigener Schlüssel bleibt, wie er ist</translation>
    </message>
    <message>
        <source>Or let Tidewell use a key of its own without a passphrase: scheduled runs have no one to type it, and no agent after a restart.</source>
        <translation>Oder lassen Sie Tidewell einen eigenen Schlüssel ohne Passphrase verwenden: Bei geplanten Läufen ist niemand da, der sie eingibt, und nach einem Neustart kein Agent.</translation>
    </message>
</context>
<context>
    <name>CopyCommand</name>
    <message>
        <source>The copy of %1 to %2 failed: %3</source>
        <translation>Die Kopie von %1 nach %2 ist fehlgeschlagen: %3</translation>
    </message>
    <message>
        <source>No second copy is called “%1”.</source>
        <translation>Keine zweite Kopie heißt „%1“.</translation>
    </message>
    <message>
        <source>“%1” does not take “%2”.</source>
        <translation>„%1“ nimmt „%2“ nicht auf.</translation>
    </message>
</context>
<context>
    <name>CopyTargetDialog</name>
    <message>
        <source>A second copy on a host</source>
        <translation>Eine zweite Kopie auf einem Rechner</translation>
    </message>
    <message>
        <source>A second copy in a folder</source>
        <translation>Eine zweite Kopie in einem Ordner</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Copy each good backup&apos;s new day here</source>
        <translation>Den neuen Tag jeder gelungenen Sicherung hierher kopieren</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Auswählen …</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>Folder on the host</source>
        <translation>Ordner auf dem Rechner</translation>
    </message>
    <message>
        <source>SSH key</source>
        <translation>SSH-Schlüssel</translation>
    </message>
    <message>
        <source>Use the keys of ssh-agent</source>
        <translation>Die Schlüssel von ssh-agent verwenden</translation>
    </message>
    <message>
        <source>All servers, and those added later</source>
        <translation>Alle Server, auch später hinzugefügte</translation>
    </message>
    <message>
        <source>Servers</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Keep its own number of days</source>
        <translation>Eine eigene Zahl von Tagen behalten</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <source>daily</source>
        <translation>täglich</translation>
    </message>
    <message>
        <source>weekly</source>
        <translation>wöchentlich</translation>
    </message>
    <message>
        <source>monthly</source>
        <translation>monatlich</translation>
    </message>
    <message>
        <source>Otherwise each server&apos;s own counts apply. A copy that keeps months only receives each month&apos;s newest day.</source>
        <translation>Sonst gelten die Zahlen jedes Servers. Eine Kopie, die nur Monate behält, erhält nur den neuesten Tag jedes Monats.</translation>
    </message>
    <message>
        <source>Give the second copy a name.</source>
        <translation>Geben Sie der zweiten Kopie einen Namen.</translation>
    </message>
    <message>
        <source>Another second copy is called “%1”.</source>
        <translation>Eine andere zweite Kopie heißt schon „%1“.</translation>
    </message>
    <message>
        <source>The folder must be a full path (starting with / or ~).</source>
        <translation>Der Ordner muss ein vollständiger Pfad sein (beginnend mit / oder ~).</translation>
    </message>
    <message>
        <source>The folder must be outside the destination, on another drive.</source>
        <translation>Der Ordner muss außerhalb des Ziels liegen, auf einem anderen Laufwerk.</translation>
    </message>
    <message>
        <source>Name the folder on the host.</source>
        <translation>Nennen Sie den Ordner auf dem Rechner.</translation>
    </message>
    <message>
        <source>There is no key file %1.</source>
        <translation>Es gibt keine Schlüsseldatei %1.</translation>
    </message>
    <message>
        <source>Keep at least one day.</source>
        <translation>Behalten Sie mindestens einen Tag.</translation>
    </message>
    <message>
        <source>Choose at least one server.</source>
        <translation>Wählen Sie mindestens einen Server.</translation>
    </message>
    <message>
        <source>Choose the folder of a second copy</source>
        <translation>Den Ordner einer zweiten Kopie auswählen</translation>
    </message>
    <message>
        <source>Choose the SSH key</source>
        <translation>Den SSH-Schlüssel auswählen</translation>
    </message>
    <message>
        <source>Check the host key</source>
        <translation>Hostschlüssel prüfen</translation>
    </message>
    <message>
        <source>Host key</source>
        <translation>Hostschlüssel</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Wird geprüft …</translation>
    </message>
    <message>
        <source>✔ Trusted: %1</source>
        <translation>✔ Vertraut: %1</translation>
    </message>
    <message>
        <source>? Unknown host: %1</source>
        <translation>? Unbekannter Host: %1</translation>
    </message>
    <message>
        <source>Only trust if the fingerprint matches what the administrator gave you.</source>
        <translation>Nur vertrauen, wenn der Fingerabdruck mit dem der Administration übereinstimmt.</translation>
    </message>
    <message>
        <source>Trust this host</source>
        <translation>Diesem Host vertrauen</translation>
    </message>
    <message>
        <source>⚠ Fingerprint mismatch! The host presents %1; you trusted %2.</source>
        <translation>⚠ Fingerabdruck stimmt nicht! Der Host zeigt %1; vertraut haben Sie %2.</translation>
    </message>
    <message>
        <source>Nothing is copied there until the key is trusted again.</source>
        <translation>Dorthin wird nichts kopiert, bis dem Schlüssel wieder vertraut wird.</translation>
    </message>
    <message>
        <source>Replace the stored key…</source>
        <translation>Gespeicherten Schlüssel ersetzen …</translation>
    </message>
    <message>
        <source>✖ Unreachable: %1</source>
        <translation>✖ Nicht erreichbar: %1</translation>
    </message>
    <message>
        <source>Replace the stored key?</source>
        <translation>Gespeicherten Schlüssel ersetzen?</translation>
    </message>
    <message>
        <source>Replace the stored host key of %1?</source>
        <translation>Den gespeicherten Hostschlüssel von %1 ersetzen?</translation>
    </message>
    <message>
        <source>Only do this when you know why the key changed (the host was rebuilt).</source>
        <translation>Tun Sie das nur, wenn Sie wissen, warum sich der Schlüssel geändert hat (der Host wurde neu aufgesetzt).</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
</context>
<context>
    <name>CopyTargetsSection</name>
    <message>
        <source>A second copy keeps every day of the backups on another drive or host, with a history of its own, so one lost disk loses nothing.</source>
        <translation>Eine zweite Kopie bewahrt jeden Tag der Sicherungen auf einem anderen Laufwerk oder Host auf, mit eigenem Verlauf, damit ein verlorener Datenträger nichts kostet.</translation>
    </message>
    <message>
        <source>Add a folder…</source>
        <translation>Ordner hinzufügen …</translation>
    </message>
    <message>
        <source>Off: nothing is copied after the backups.</source>
        <translation>Aus: nach den Sicherungen wird nichts kopiert.</translation>
    </message>
    <message>
        <source>%1: not copied yet</source>
        <translation>%1: noch nicht kopiert</translation>
    </message>
    <message>
        <source>%1: up to %2</source>
        <translation>%1: bis %2</translation>
    </message>
    <message numerus="yes">
        <source>(%n day(s) behind)</source>
        <translation>
            <numerusform>(%n Tag im Rückstand)</numerusform>
            <numerusform>(%n Tage im Rückstand)</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: the last copy failed: %2</source>
        <translation>%1: die letzte Kopie ist fehlgeschlagen: %2</translation>
    </message>
    <message>
        <source>Copy now</source>
        <translation>Jetzt kopieren</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Choose the folder of a second copy</source>
        <translation>Ordner einer zweiten Kopie wählen</translation>
    </message>
    <message>
        <source>Remove “%1”?</source>
        <translation>„%1“ entfernen?</translation>
    </message>
    <message>
        <source>Remove the second copy “%1”?</source>
        <translation>Die zweite Kopie „%1“ entfernen?</translation>
    </message>
    <message>
        <source>Nothing more is copied there. The days it holds stay where they are.</source>
        <translation>Dorthin wird nichts mehr kopiert. Die Tage, die sie enthält, bleiben, wo sie sind.</translation>
    </message>
    <message>
        <source>Copying %1 to %2…</source>
        <translation>%1 wird nach %2 kopiert …</translation>
    </message>
    <message>
        <source>Copied to %1: it holds every day.</source>
        <translation>Nach %1 kopiert: sie enthält jeden Tag.</translation>
    </message>
    <message>
        <source>Not copied to %1: %2</source>
        <translation>Nicht nach %1 kopiert: %2</translation>
    </message>
    <message>
        <source>Add a host…</source>
        <translation>Rechner hinzufügen …</translation>
    </message>
    <message>
        <source>Edit…</source>
        <translation>Bearbeiten …</translation>
    </message>
    <message>
        <source>After each good backup, its new day is copied to every second copy that is on. A host is reached over ssh as a server is, its host key checked the same way.</source>
        <translation>Nach jeder gelungenen Sicherung wird ihr neuer Tag in jede eingeschaltete zweite Kopie kopiert. Ein Rechner wird wie ein Server über ssh erreicht, sein Hostschlüssel ebenso geprüft.</translation>
    </message>
    <message>
        <source>%1 — %2 — encrypted</source>
        <translation>%1 — %2 — verschlüsselt</translation>
    </message>
    <message>
        <source>Encrypt…</source>
        <translation>Verschlüsseln…</translation>
    </message>
</context>
<context>
    <name>DashboardView</name>
    <message>
        <source>Overview</source>
        <translation>Übersicht</translation>
    </message>
    <message>
        <source>Servers</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Healthy</source>
        <translation>In Ordnung</translation>
    </message>
    <message>
        <source>Failing</source>
        <translation>Fehlerhaft</translation>
    </message>
    <message>
        <source>Overdue</source>
        <translation>Überfällig</translation>
    </message>
    <message>
        <source>Scheduled</source>
        <translation>Geplant</translation>
    </message>
    <message>
        <source>Show all servers in the list</source>
        <translation>Alle Server in der Liste zeigen</translation>
    </message>
    <message>
        <source>Show the failing servers in the list</source>
        <translation>Die fehlerhaften Server in der Liste zeigen</translation>
    </message>
    <message>
        <source>Show the overdue servers in the list</source>
        <translation>Die überfälligen Server in der Liste zeigen</translation>
    </message>
    <message>
        <source>No servers configured</source>
        <translation>Keine Server eingerichtet</translation>
    </message>
    <message>
        <source>Click + in the sidebar to add your first server.</source>
        <translation>Klicken Sie in der Seitenleiste auf +, um Ihren ersten Server hinzuzufügen.</translation>
    </message>
    <message>
        <source>Your first backup in three steps</source>
        <translation>Ihre erste Sicherung in drei Schritten</translation>
    </message>
    <message>
        <source>Add a server: its address, the account to log in as, and a name.</source>
        <translation>Server hinzufügen: seine Adresse, das Anmeldekonto und ein Name.</translation>
    </message>
    <message>
        <source>Add a server</source>
        <translation>Server hinzufügen</translation>
    </message>
    <message>
        <source>Set up its SSH key (Tidewell can make one and install it with the account&apos;s password) and trust its host key.</source>
        <translation>Seinen SSH-Schlüssel einrichten (Tidewell kann einen erzeugen und mit dem Passwort des Kontos einrichten) und seinem Hostschlüssel vertrauen.</translation>
    </message>
    <message>
        <source>Set up key</source>
        <translation>Schlüssel einrichten</translation>
    </message>
    <message>
        <source>Add a folder to back up, then run the first backup.</source>
        <translation>Einen zu sichernden Ordner hinzufügen und die erste Sicherung starten.</translation>
    </message>
    <message>
        <source>Add a path</source>
        <translation>Pfad hinzufügen</translation>
    </message>
    <message>
        <source>%1: not yet</source>
        <translation>%1: noch nicht</translation>
    </message>
    <message>
        <source>%1: up to %2</source>
        <translation>%1: bis %2</translation>
    </message>
    <message numerus="yes">
        <source>(%n day(s) behind)</source>
        <translation>
            <numerusform>(%n Tag im Rückstand)</numerusform>
            <numerusform>(%n Tage im Rückstand)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DatabaseDump</name>
    <message>
        <source>Path “%1” is a database dump of a kind Tidewell does not know (“%2”); it can dump postgresql, mysql and sqlite.</source>
        <translation>Pfad „%1“ ist ein Datenbank-Dump einer Art, die Tidewell nicht kennt („%2“); es kann postgresql, mysql und sqlite sichern.</translation>
    </message>
    <message>
        <source>Path “%1” is a database dump: its remote path is the folder the dump is written to, not a file.</source>
        <translation>Pfad „%1“ ist ein Datenbank-Dump: sein entfernter Pfad ist der Ordner, in den der Dump geschrieben wird, keine Datei.</translation>
    </message>
    <message>
        <source>Path “%1” names no database to dump.</source>
        <translation>Pfad „%1“ nennt keine Datenbank für den Dump.</translation>
    </message>
    <message>
        <source>Path “%1”: the database “%2” cannot start with “-” or hold a line break.</source>
        <translation>Pfad „%1“: die Datenbank „%2“ darf nicht mit „-“ beginnen und keinen Zeilenumbruch enthalten.</translation>
    </message>
    <message>
        <source>Path “%1”: the database account “%2” may hold only letters, digits and “._@-”.</source>
        <translation>Pfad „%1“: das Datenbankkonto „%2“ darf nur Buchstaben, Ziffern und „._@-“ enthalten.</translation>
    </message>
    <message>
        <source>Path “%1”: the SQLite database must be a path on the server such as /var/lib/app/app.db, not “%2”.</source>
        <translation>Pfad „%1“: die SQLite-Datenbank muss ein Pfad auf dem Server sein wie /var/lib/app/app.db, nicht „%2“.</translation>
    </message>
    <message>
        <source>Path “%1”: SQLite cannot write its dump into a folder whose name holds a quote or a line break (“%2”).</source>
        <translation>Pfad „%1“: SQLite kann seinen Dump nicht in einen Ordner schreiben, dessen Name ein Anführungszeichen oder einen Zeilenumbruch enthält („%2“).</translation>
    </message>
</context>
<context>
    <name>Desktop</name>
    <message>
        <source>the folder does not exist</source>
        <translation>der Ordner existiert nicht</translation>
    </message>
    <message>
        <source>no file manager answered, and no program is set to open folders</source>
        <translation>kein Dateimanager hat geantwortet, und kein Programm ist zum Öffnen von Ordnern eingestellt</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>A file is already there</source>
        <translation>Dort liegt bereits eine Datei</translation>
    </message>
    <message>
        <source>“%1” is already there. Replace it with the restored one?</source>
        <translation>„%1“ ist bereits vorhanden. Durch die wiederhergestellte Datei ersetzen?</translation>
    </message>
    <message>
        <source>“Keep both” gives the restored file the backup&apos;s date in its name.</source>
        <translation>„Beide behalten“ gibt der wiederhergestellten Datei das Datum der Sicherung im Namen.</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Keep both</source>
        <translation>Beide behalten</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Do this for the other files that are there too</source>
        <translation>Für die anderen vorhandenen Dateien ebenso verfahren</translation>
    </message>
    <message>
        <source>Restore into which folder?</source>
        <translation>In welchen Ordner wiederherstellen?</translation>
    </message>
    <message>
        <source>Restore into this folder (it is made if it is not there yet):</source>
        <translation>In diesen Ordner wiederherstellen (er wird angelegt, wenn es ihn noch nicht gibt):</translation>
    </message>
    <message>
        <source>Browse…</source>
        <translation>Durchsuchen …</translation>
    </message>
    <message>
        <source>Also give back devices, FIFOs and setuid or setgid bits as they were</source>
        <translation>Auch Geräte, FIFOs und setuid- oder setgid-Bits so zurückgeben, wie sie waren</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
</context>
<context>
    <name>DiffDialog</name>
    <message>
        <source>Changes in %1</source>
        <translation>Änderungen in %1</translation>
    </message>
    <message>
        <source>Comparing…</source>
        <translation>Wird verglichen …</translation>
    </message>
    <message>
        <source>Changes</source>
        <translation>Änderungen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>The two versions are the same.</source>
        <translation>Die beiden Versionen sind gleich.</translation>
    </message>
    <message>
        <source>Lines starting with - are in %1 only, lines starting with + in %2 only.</source>
        <translation>Zeilen mit - am Anfang gibt es nur in %1, Zeilen mit + nur in %2.</translation>
    </message>
    <message>
        <source>Not a text file: its changes cannot be shown line by line.</source>
        <translation>Keine Textdatei: Ihre Änderungen lassen sich nicht zeilenweise zeigen.</translation>
    </message>
    <message>
        <source>Larger than %1: its changes are not shown line by line.</source>
        <translation>Größer als %1: Ihre Änderungen werden nicht zeilenweise gezeigt.</translation>
    </message>
    <message>
        <source>The changes could not be shown: %1</source>
        <translation>Die Änderungen konnten nicht gezeigt werden: %1</translation>
    </message>
</context>
<context>
    <name>EncryptCommand</name>
    <message>
        <source>“%1” is encrypted; its passphrase is read from %2.</source>
        <translation>„%1“ ist verschlüsselt; die Passphrase wird aus %2 gelesen.</translation>
    </message>
    <message>
        <source>Recovery key (shown this once):</source>
        <translation>Wiederherstellungsschlüssel (wird nur dieses eine Mal gezeigt):</translation>
    </message>
    <message>
        <source>Write it down or print it and keep it away from this computer: with it the backups can be read without the passphrase, even if gocryptfs.conf is lost.</source>
        <translation>Schreiben Sie ihn auf oder drucken Sie ihn aus und bewahren Sie ihn getrennt von diesem Rechner auf: mit ihm lassen sich die Sicherungen ohne die Passphrase lesen, selbst wenn gocryptfs.conf verloren ist.</translation>
    </message>
    <message>
        <source>tidewell: --encrypt-destination needs --passphrase-file FILE, a file readable by you alone whose first line is the passphrase</source>
        <translation>tidewell: --encrypt-destination braucht --passphrase-file DATEI, eine nur für Sie lesbare Datei, deren erste Zeile die Passphrase ist</translation>
    </message>
    <message>
        <source>tidewell: the configuration could not be saved: %1</source>
        <translation>tidewell: die Konfiguration konnte nicht gespeichert werden: %1</translation>
    </message>
</context>
<context>
    <name>EncryptDialog</name>
    <message>
        <source>Encrypt backups</source>
        <translation>Sicherungen verschlüsseln</translation>
    </message>
    <message>
        <source>The folder must be empty. From now on it holds only gocryptfs ciphertext: names and contents of the copies are unreadable without the passphrase or the recovery key.</source>
        <translation>Der Ordner muss leer sein. Von nun an enthält er nur gocryptfs-Geheimtext: Namen und Inhalte der Kopien sind ohne die Passphrase oder den Wiederherstellungsschlüssel nicht lesbar.</translation>
    </message>
    <message>
        <source>Passphrase file</source>
        <translation>Passphrasen-Datei</translation>
    </message>
    <message>
        <source>A file readable by you alone (chmod 600) whose first line is the passphrase.</source>
        <translation>Eine nur für Sie lesbare Datei (chmod 600), deren erste Zeile die Passphrase ist.</translation>
    </message>
    <message>
        <source>Encrypt</source>
        <translation>Verschlüsseln</translation>
    </message>
    <message>
        <source>Encrypted. This is the recovery key, shown this once: write it down or print it and keep it away from this computer. With it the backups can be read without the passphrase, even if gocryptfs.conf is lost.</source>
        <translation>Verschlüsselt. Dies ist der Wiederherstellungsschlüssel, nur dieses eine Mal gezeigt: schreiben Sie ihn auf oder drucken Sie ihn aus und bewahren Sie ihn getrennt von diesem Rechner auf. Mit ihm lassen sich die Sicherungen ohne die Passphrase lesen, selbst wenn gocryptfs.conf verloren ist.</translation>
    </message>
    <message>
        <source>Type its first group</source>
        <translation>Seine erste Gruppe eingeben</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Choose the passphrase file.</source>
        <translation>Wählen Sie die Passphrasen-Datei.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Close without the recovery key?</source>
        <translation>Ohne den Wiederherstellungsschlüssel schließen?</translation>
    </message>
    <message>
        <source>The folder is encrypted already; the key is not shown again.</source>
        <translation>Der Ordner ist bereits verschlüsselt; der Schlüssel wird nicht wieder gezeigt.</translation>
    </message>
</context>
<context>
    <name>EncryptionSetup</name>
    <message>
        <source>“%1” is encrypted already</source>
        <translation>„%1“ ist bereits verschlüsselt</translation>
    </message>
    <message>
        <source>“%1” is not an absolute path</source>
        <translation>„%1“ ist kein absoluter Pfad</translation>
    </message>
    <message>
        <source>encrypted folders here use the passphrase file %1; give that one</source>
        <translation>verschlüsselte Ordner verwenden hier die Passphrasen-Datei %1; geben Sie diese an</translation>
    </message>
    <message>
        <source>there is no second copy “%1”</source>
        <translation>es gibt keine zweite Kopie „%1“</translation>
    </message>
    <message>
        <source>“%1” is a copy on a host; only a copy in a folder of this computer can be encrypted</source>
        <translation>„%1“ ist eine Kopie auf einem anderen Rechner; nur eine Kopie in einem Ordner dieses Rechners kann verschlüsselt werden</translation>
    </message>
</context>
<context>
    <name>EntryPoint</name>
    <message>
        <source>tidewell: %1 (see tidewell --help)</source>
        <translation>tidewell: %1 (siehe tidewell --help)</translation>
    </message>
    <message>
        <source>--restore needs --date yyyy-MM-dd, the day of the backup to restore from</source>
        <translation>--restore braucht --date JJJJ-MM-TT, den Tag der Sicherung, aus der wiederhergestellt wird</translation>
    </message>
    <message>
        <source>--restore needs at least one --item, a remote path as the server has it</source>
        <translation>--restore braucht mindestens ein --item, einen entfernten Pfad, wie der Server ihn kennt</translation>
    </message>
    <message>
        <source>--restore needs either --to FOLDER (this computer) or --to-server [FOLDER]</source>
        <translation>--restore braucht entweder --to ORDNER (dieser Rechner) oder --to-server [ORDNER]</translation>
    </message>
    <message>
        <source>--to needs a folder</source>
        <translation>--to braucht einen Ordner</translation>
    </message>
    <message numerus="yes">
        <source>tidewell: unknown option(s) %1 ignored (see tidewell --help)</source>
        <translation>
            <numerusform>tidewell: unbekannte Option %1 ignoriert (siehe tidewell --help)</numerusform>
            <numerusform>tidewell: unbekannte Optionen %1 ignoriert (siehe tidewell --help)</numerusform>
        </translation>
    </message>
    <message>
        <source>--keep-special is for --to</source>
        <translation>--keep-special gilt für --to</translation>
    </message>
    <message>
        <source>--list-backups needs a server ID or name</source>
        <translation>--list-backups braucht die ID oder den Namen eines Servers</translation>
    </message>
    <message>
        <source>--restore needs a server ID or name</source>
        <translation>--restore braucht die ID oder den Namen eines Servers</translation>
    </message>
    <message>
        <source>tidewell: %1 needs a server ID or name (see tidewell --help)</source>
        <translation>tidewell: %1 braucht die ID oder den Namen eines Servers (siehe tidewell --help)</translation>
    </message>
    <message>
        <source>--verify-remote needs a server ID or name</source>
        <translation>--verify-remote braucht die ID oder den Namen eines Servers</translation>
    </message>
    <message>
        <source>--date needs a day as yyyy-MM-dd</source>
        <translation>--date braucht einen Tag als yyyy-MM-dd</translation>
    </message>
    <message>
        <source>--verify needs a server ID or name</source>
        <translation>--verify braucht die ID oder den Namen eines Servers</translation>
    </message>
    <message>
        <source>--verify takes --date or --all, not both</source>
        <translation>--verify nimmt --date oder --all, nicht beides</translation>
    </message>
    <message>
        <source>--sample needs a share from 1% to 100%</source>
        <translation>--sample braucht einen Anteil von 1% bis 100%</translation>
    </message>
    <message>
        <source>--export needs a file name</source>
        <translation>--export braucht einen Dateinamen</translation>
    </message>
    <message>
        <source>--import needs a file name</source>
        <translation>--import braucht einen Dateinamen</translation>
    </message>
    <message>
        <source>--remove-server needs a server ID or name</source>
        <translation>--remove-server braucht die ID oder den Namen eines Servers</translation>
    </message>
    <message>
        <source>--add-server needs a name</source>
        <translation>--add-server braucht einen Namen</translation>
    </message>
    <message>
        <source>--add-server needs --host HOST</source>
        <translation>--add-server braucht --host HOST</translation>
    </message>
    <message>
        <source>--add-server takes --key or --agent, not both</source>
        <translation>--add-server nimmt --key oder --agent, nicht beides</translation>
    </message>
    <message>
        <source>%1 needs a server ID or name</source>
        <translation>%1 braucht die ID oder den Namen eines Servers</translation>
    </message>
    <message>
        <source>--set-path needs a path&apos;s name after the server</source>
        <translation>--set-path braucht nach dem Server den Namen eines Pfads</translation>
    </message>
    <message>
        <source>%1 needs at least one KEY=VALUE</source>
        <translation>%1 braucht mindestens ein SCHLÜSSEL=WERT</translation>
    </message>
    <message>
        <source>--metrics needs a file name</source>
        <translation>--metrics braucht einen Dateinamen</translation>
    </message>
    <message>
        <source>--apply needs a file name</source>
        <translation>--apply braucht einen Dateinamen</translation>
    </message>
    <message>
        <source>--copy needs the name of a second copy</source>
        <translation>--copy braucht den Namen einer zweiten Kopie</translation>
    </message>
    <message>
        <source>--server is for --copy</source>
        <translation>--server gehört zu --copy</translation>
    </message>
    <message>
        <source>--from needs the name of a second copy</source>
        <translation>--from braucht den Namen einer zweiten Kopie</translation>
    </message>
    <message>
        <source>--from is for --list-backups and --restore</source>
        <translation>--from gehört zu --list-backups und --restore</translation>
    </message>
    <message>
        <source>
Second copies (copyTargets in the configuration):
  --copy TARGET [--server SERVER]
                          copy every day the second copy TARGET (its name or id)
                          lacks, of every server it takes or of SERVER; exit 1
                          when a copy failed or TARGET was not there
  --from TARGET           with --list-backups and --restore: read the backups
                          from the second copy TARGET (a folder of this computer,
                          or a host over ssh)
</source>
        <translation>
Zweite Kopien (copyTargets in der Konfiguration):
  --copy ZIEL [--server SERVER]
                          jeden Tag, der der zweiten Kopie ZIEL (Name oder ID)
                          fehlt, kopieren, von jedem Server, den sie aufnimmt,
                          oder von SERVER; Exit-Code 1, wenn eine Kopie
                          fehlschlug oder ZIEL nicht da war
  --from ZIEL             mit --list-backups und --restore: die Sicherungen aus
                          der zweiten Kopie ZIEL lesen (ein Ordner dieses Rechners
                          oder ein Rechner über ssh)
</translation>
    </message>
    <message>
        <source>--pause needs a server ID or name</source>
        <translation>--pause braucht die ID oder den Namen eines Servers</translation>
    </message>
    <message>
        <source>Options:
  --run-backup SERVER     back up this server without a window and exit with
                          the run&apos;s status (how daily schedules start Tidewell)
  --status                print each server&apos;s health, last run, last success and
                          next run; exit 0 when every scheduled server is ok
                          (pending: scheduled less than 26 hours ago, not run yet)
  --servers               list the servers, one per line: id, name,
                          user@host:port, schedule and health, apart by tabs
  --json                  with --status, --servers or --list-backups: the same
                          as JSON
  --export FILE           write every server and setting to FILE as JSON (key
                          paths, last runs and report addresses left out)
  --import FILE           say what FILE holds; with --replace, make it the
                          configuration and install the schedules it has
  --add-server NAME       add a server (its paths named after their last part
                          unless =NAME follows; --daily schedules it); prints
                          its id
  --set SERVER KEY=VALUE  change members of the server as its JSON form names
                          them (port=2222, scheduleEnabled=true); without
                          SERVER, settings of all (metricsFile=FILE)
  --set-path SERVER PATH KEY=VALUE
                          change a path (remotePath=, enabled=, excludes=[...]);
                          a new PATH is added when remotePath= is given
  --apply FILE            make the configuration match FILE (the export&apos;s form;
                          servers matched by id, else by name; with --prune,
                          servers it lacks are removed); one line per change;
                          --check changes nothing and exits 1 if it would
  --remove-server SERVER  remove the server and its schedule (its backups stay)
  --check                 report overdue servers (desktop notice, health check,
                          webhook, e-mail, ntfy) as the window does; what the
                          hourly org.tidewell.check.timer starts
  --run-overdue           start the scheduled backup of every server without a
                          good backup for its period; what the backup drive&apos;s
                          org.tidewell.drive.service starts when it is mounted
  --pause SERVER          pause the server&apos;s running backup: what it copied is
                          kept, and its next run goes on from there
  --metrics FILE          write each server&apos;s figures to FILE for Prometheus
                          (node_exporter&apos;s textfile collector)
  --nagios                with --status: one line for a monitoring plugin, exit
                          0 OK, 1 WARNING (overdue), 2 CRITICAL (failing), 3 UNKNOWN
  --report-failure SERVER report a scheduled run of the server that ended without
                          reporting (systemd&apos;s OnFailure= starts it); else nothing
  --list-backups SERVER   list the server&apos;s backups: day, complete or not
  --verify SERVER         read the copies of the newest complete backup (of
                          DATE, or of every day with --all) against their
                          fingerprints, each file once; --sample 10% reads a
                          tenth of them; exit 1 for damaged files, 20 when
                          stopped (the same command continues the check)
  --verify-remote SERVER  read the newest complete backup (or that of DATE)
                          against the server, every file on both sides; exit 1
                          when a file differs though its size and time agree
  --accept-changes SERVER confirm that most of the server&apos;s files changed on
                          purpose: its old backups, kept since, are pruned again
  --restore SERVER        restore remote paths as the backup of DATE
                          (yyyy-MM-dd) holds them: to a folder of this
                          computer (a file already there is kept, the restored
                          one gets &quot;(restored DATE)&quot; in its name; devices,
                          FIFOs and setuid bits only with --keep-special, as
                          root), or back to the server, where they came from or
                          into FOLDER, made when missing (files it replaces are
                          kept in a .tidewell-replaced-* folder there);
                          --dry-run only says what it would write
  -h, --help              print this help and exit
  -v, --version           print the version and exit

Exit statuses: rsync&apos;s; 2 for a command line that cannot be followed, 20 for
a cancelled run or restore, 75 while a backup of the server runs. See man
tidewell for more, and files.
</source>
        <translation>Optionen:
  --run-backup SERVER     diesen Server ohne Fenster sichern und mit dem Status
                          des Laufs enden (so starten tägliche Zeitpläne Tidewell)
  --status                Zustand, letzten Lauf, letzten Erfolg und nächsten Lauf
                          jedes Servers ausgeben; Exit-Code 0, wenn jeder geplante
                          Server in Ordnung ist (ausstehend: vor weniger als
                          26 Stunden geplant, noch nicht gelaufen)
  --servers               die Server auflisten, einer je Zeile: ID, Name,
                          Benutzer@Host:Port, Zeitplan und Zustand, durch
                          Tabulatoren getrennt
  --json                  mit --status, --servers oder --list-backups: dasselbe
                          als JSON
  --export DATEI          alle Server und Einstellungen als JSON in DATEI
                          schreiben (ohne Schlüsselpfade, letzte Läufe und
                          Berichtsadressen)
  --import DATEI          sagen, was DATEI enthält; mit --replace wird sie die
                          Konfiguration, und ihre Zeitpläne werden eingerichtet
  --add-server NAME       einen Server hinzufügen (seine Pfade heißen wie ihr
                          letzter Teil, außer =NAME folgt; --daily plant ihn);
                          gibt seine ID aus
  --set SERVER SCHLÜSSEL=WERT
                          Angaben des Servers ändern, benannt wie in seiner
                          JSON-Form (port=2222, scheduleEnabled=true); ohne
                          SERVER Einstellungen aller (metricsFile=DATEI)
  --set-path SERVER PFAD SCHLÜSSEL=WERT
                          einen Pfad ändern (remotePath=, enabled=,
                          excludes=[...]); ein neuer PFAD kommt hinzu, wenn
                          remotePath= angegeben ist
  --apply DATEI           die Konfiguration an DATEI angleichen (Form des
                          Exports; Server nach ID, sonst nach Name zugeordnet;
                          mit --prune werden Server entfernt, die ihr fehlen);
                          eine Zeile je Änderung; --check ändert nichts und
                          endet mit 1, wenn sich etwas ändern würde
  --remove-server SERVER  den Server und seinen Zeitplan entfernen (seine
                          Sicherungen bleiben)
  --check                 überfällige Server melden (Desktop-Hinweis, Health-
                          Check, Webhook, E-Mail, ntfy) wie das Fenster; das
                          startet der stündliche org.tidewell.check.timer
  --run-overdue           die geplante Sicherung jedes Servers starten, der für
                          seinen Zeitraum keine gute Sicherung hat; das startet
                          org.tidewell.drive.service, wenn das Laufwerk kommt
  --pause SERVER          die laufende Sicherung des Servers anhalten: was sie
                          kopiert hat, bleibt; der nächste Lauf fährt dort fort
  --metrics DATEI         die Kennzahlen jedes Servers für Prometheus in DATEI
                          schreiben (Textfile-Collector von node_exporter)
  --nagios                mit --status: eine Zeile für ein Monitoring-Plugin,
                          Exit-Code 0 OK, 1 WARNING (überfällig),
                          2 CRITICAL (fehlerhaft), 3 UNKNOWN
  --report-failure SERVER einen geplanten Lauf des Servers melden, der ohne
                          Bericht endete (systemds OnFailure= startet das);
                          sonst nichts
  --list-backups SERVER   die Sicherungen des Servers auflisten: Tag,
                          vollständig oder nicht
  --verify SERVER         die Kopien der neuesten vollständigen Sicherung (vom
                          DATUM, oder aller Tage mit --all) mit ihren
                          Fingerabdrücken vergleichen, jede Datei einmal;
                          --sample 10% liest ein Zehntel davon; Exit-Code 1 bei
                          beschädigten Dateien, 20 wenn abgebrochen (derselbe
                          Befehl setzt die Prüfung fort)
  --verify-remote SERVER  die neueste vollständige Sicherung (oder die vom DATUM)
                          mit dem Server vergleichen, jede Datei auf beiden Seiten
                          gelesen; Exit-Code 1, wenn eine Datei abweicht, obwohl
                          Größe und Zeit übereinstimmen
  --accept-changes SERVER bestätigen, dass sich die meisten Dateien des Servers
                          gewollt geändert haben: seine seither behaltenen alten
                          Sicherungen werden wieder ausgedünnt
  --restore SERVER        entfernte Pfade so wiederherstellen, wie die Sicherung
                          vom DATUM (JJJJ-MM-TT) sie enthält: in einen Ordner
                          dieses Rechners (eine dort vorhandene Datei bleibt, die
                          wiederhergestellte bekommt „(restored DATUM)“ in den
                          Namen; Geräte, FIFOs und setuid-Bits nur mit
                          --keep-special, als root), oder zurück auf den Server,
                          an den Ursprungsort oder in ORDNER, der bei Bedarf
                          angelegt wird (ersetzte Dateien bleiben dort in einem
                          Ordner .tidewell-replaced-*); --dry-run sagt nur, was
                          geschrieben würde
  -h, --help              diese Hilfe ausgeben und enden
  -v, --version           die Version ausgeben und enden

Exit-Codes: die von rsync; 2 für eine nicht ausführbare Befehlszeile, 20 für
einen abgebrochenen Lauf oder eine abgebrochene Wiederherstellung, 75, solange
eine Sicherung des Servers läuft. Mehr in man tidewell, auch zu Dateien.
</translation>
    </message>
    <message>
        <source>--target needs the name of a second copy</source>
        <translation>--target braucht den Namen einer zweiten Kopie</translation>
    </message>
    <message>
        <source>--passphrase-file and --target are for --encrypt-destination</source>
        <translation>--passphrase-file und --target gehören zu --encrypt-destination</translation>
    </message>
    <message>
        <source>Usage: tidewell
       tidewell --run-backup SERVER
       tidewell --status [--json | --nagios]
       tidewell --servers [--json]
       tidewell --export FILE
       tidewell --import FILE [--replace | --dry-run]
       tidewell --add-server NAME --host HOST [--port N] [--user USER]
                [--key PATH | --agent] [--path REMOTE[=NAME]]...
                [--exclude PATTERN]... [--daily HH:MM] [--keep N]
                [--keep-weekly N] [--keep-monthly N]
       tidewell --set SERVER KEY=VALUE... | --set KEY=VALUE...
       tidewell --set-path SERVER PATH KEY=VALUE...
       tidewell --apply FILE [--check] [--prune]
       tidewell --remove-server SERVER
       tidewell --check
       tidewell --run-overdue
       tidewell --pause SERVER
       tidewell --metrics FILE
       tidewell --encrypt-destination [--target TARGET] --passphrase-file FILE
       tidewell --report-failure SERVER
       tidewell --list-backups SERVER [--json]
       tidewell --verify SERVER [--date DATE | --all] [--sample PERCENT]
       tidewell --verify-remote SERVER [--date DATE]
       tidewell --accept-changes SERVER
       tidewell --restore SERVER --date DATE --item PATH [--item PATH...]
                (--to FOLDER [--keep-special] | --to-server [FOLDER])
                [--dry-run] [--allow-incomplete]
       tidewell --help | --version
Keep local copies of the files on your servers, copied with rsync over SSH.

Without options, the window opens (or the open one is shown). SERVER is a
server&apos;s ID, or its name when no other server has that name.

</source>
        <translation>Aufruf: tidewell
        tidewell --run-backup SERVER
        tidewell --status [--json | --nagios]
        tidewell --servers [--json]
        tidewell --export DATEI
        tidewell --import DATEI [--replace | --dry-run]
        tidewell --add-server NAME --host HOST [--port N] [--user BENUTZER]
                 [--key PFAD | --agent] [--path ENTFERNT[=NAME]]...
                 [--exclude MUSTER]... [--daily HH:MM] [--keep N]
                 [--keep-weekly N] [--keep-monthly N]
        tidewell --set SERVER SCHLÜSSEL=WERT... | --set SCHLÜSSEL=WERT...
        tidewell --set-path SERVER PFAD SCHLÜSSEL=WERT...
        tidewell --apply DATEI [--check] [--prune]
        tidewell --remove-server SERVER
        tidewell --check
        tidewell --run-overdue
        tidewell --pause SERVER
        tidewell --metrics DATEI
        tidewell --encrypt-destination [--target ZIEL] --passphrase-file DATEI
        tidewell --report-failure SERVER
        tidewell --list-backups SERVER [--json]
        tidewell --verify SERVER [--date DATUM | --all] [--sample PROZENT]
        tidewell --verify-remote SERVER [--date DATUM]
        tidewell --accept-changes SERVER
        tidewell --restore SERVER --date DATUM --item PFAD [--item PFAD...]
                 (--to ORDNER [--keep-special] | --to-server [ORDNER])
                 [--dry-run] [--allow-incomplete]
        tidewell --help | --version
Hält lokale Kopien der Dateien auf Ihren Servern, kopiert mit rsync über SSH.

Ohne Optionen öffnet sich das Fenster (oder das offene wird gezeigt). SERVER ist
die ID eines Servers, oder sein Name, wenn kein anderer Server so heißt.

</translation>
    </message>
    <message>
        <source>
Encrypted backups (gocryptfs):
  --encrypt-destination [--target TARGET] --passphrase-file FILE
                          make the empty destination (or the folder of the second
                          copy TARGET) an encrypted folder whose passphrase is the
                          first line of FILE (readable by you alone); prints the
                          recovery key once
</source>
        <translation>
Verschlüsselte Sicherungen (gocryptfs):
  --encrypt-destination [--target ZIEL] --passphrase-file DATEI
                          das leere Ziel (oder den Ordner der zweiten Kopie ZIEL)
                          zu einem verschlüsselten Ordner machen, dessen Passphrase
                          die erste Zeile von DATEI ist (nur für Sie lesbar); gibt
                          den Wiederherstellungsschlüssel einmal aus
</translation>
    </message>
</context>
<context>
    <name>FleetCommand</name>
    <message>
        <source>“%1.%2” is not a date as 2026-12-01T03:00:00Z (with its offset from UTC): “%3”</source>
        <translation>„%1.%2“ ist kein Datum wie 2026-12-01T03:00:00Z (mit seinem Abstand zu UTC): „%3“</translation>
    </message>
    <message>
        <source>%1 is not there</source>
        <translation>%1 gibt es nicht</translation>
    </message>
    <message>
        <source>%1 is not JSON: %2 at byte %3</source>
        <translation>%1 ist kein JSON: %2 bei Byte %3</translation>
    </message>
    <message>
        <source>%1 does not hold a JSON object</source>
        <translation>%1 enthält kein JSON-Objekt</translation>
    </message>
    <message>
        <source>“servers” in %1 is not a list</source>
        <translation>„servers“ in %1 ist keine Liste</translation>
    </message>
    <message>
        <source>“servers[%1]” in %2 is not an object</source>
        <translation>„servers[%1]“ in %2 ist kein Objekt</translation>
    </message>
    <message>
        <source>“servers[%1]” in %2 has no name</source>
        <translation>„servers[%1]“ in %2 hat keinen Namen</translation>
    </message>
    <message>
        <source>%1 things are named “%2”: give the one meant by its id</source>
        <translation>%1 Einträge heißen „%2“: geben Sie den gemeinten mit seiner ID an</translation>
    </message>
    <message>
        <source>a path is not an object</source>
        <translation>ein Pfad ist kein Objekt</translation>
    </message>
    <message>
        <source>two of its paths are the same path “%1”</source>
        <translation>zwei seiner Pfade sind derselbe Pfad „%1“</translation>
    </message>
    <message>
        <source>“paths” is not a list</source>
        <translation>„paths“ ist keine Liste</translation>
    </message>
    <message>
        <source>“%1” is the server “%2” again</source>
        <translation>„%1“ ist noch einmal der Server „%2“</translation>
    </message>
    <message>
        <source>two servers in the file have the same id</source>
        <translation>zwei Server der Datei haben dieselbe ID</translation>
    </message>
    <message>
        <source>changed settings: %1</source>
        <translation>Einstellungen geändert: %1</translation>
    </message>
    <message>
        <source>added %1</source>
        <translation>%1 hinzugefügt</translation>
    </message>
    <message>
        <source>changed %1: %2</source>
        <translation>%1 geändert: %2</translation>
    </message>
    <message>
        <source>removed %1; its backups stay in %2</source>
        <translation>%1 entfernt; seine Sicherungen bleiben in %2</translation>
    </message>
    <message>
        <source>tidewell: nothing applied: %1</source>
        <translation>tidewell: nichts übernommen: %1</translation>
    </message>
    <message>
        <source>the configuration could not be saved: %1</source>
        <translation>die Konfiguration konnte nicht gespeichert werden: %1</translation>
    </message>
</context>
<context>
    <name>Formatting</name>
    <message numerus="yes">
        <source>%n year(s) ago</source>
        <translation>
            <numerusform>vor %n Jahr</numerusform>
            <numerusform>vor %n Jahren</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n year(s)</source>
        <translation>
            <numerusform>in %n Jahr</numerusform>
            <numerusform>in %n Jahren</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n month(s) ago</source>
        <translation>
            <numerusform>vor %n Monat</numerusform>
            <numerusform>vor %n Monaten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n month(s)</source>
        <translation>
            <numerusform>in %n Monat</numerusform>
            <numerusform>in %n Monaten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n week(s) ago</source>
        <translation>
            <numerusform>vor %n Woche</numerusform>
            <numerusform>vor %n Wochen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n week(s)</source>
        <translation>
            <numerusform>in %n Woche</numerusform>
            <numerusform>in %n Wochen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n day(s) ago</source>
        <translation>
            <numerusform>vor %n Tag</numerusform>
            <numerusform>vor %n Tagen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n day(s)</source>
        <translation>
            <numerusform>in %n Tag</numerusform>
            <numerusform>in %n Tagen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hour(s) ago</source>
        <translation>
            <numerusform>vor %n Stunde</numerusform>
            <numerusform>vor %n Stunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n hour(s)</source>
        <translation>
            <numerusform>in %n Stunde</numerusform>
            <numerusform>in %n Stunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minute(s) ago</source>
        <translation>
            <numerusform>vor %n Minute</numerusform>
            <numerusform>vor %n Minuten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n minute(s)</source>
        <translation>
            <numerusform>in %n Minute</numerusform>
            <numerusform>in %n Minuten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n second(s) ago</source>
        <translation>
            <numerusform>vor %n Sekunde</numerusform>
            <numerusform>vor %n Sekunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n second(s)</source>
        <translation>
            <numerusform>in %n Sekunde</numerusform>
            <numerusform>in %n Sekunden</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HeadlessRunner</name>
    <message numerus="yes">
        <source>%n damaged file(s) in the backups: %1</source>
        <translation>
            <numerusform>%n beschädigte Datei in den Sicherungen: %1</numerusform>
            <numerusform>%n beschädigte Dateien in den Sicherungen: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) differ from the server though size and time agree: %1</source>
        <translation>
            <numerusform>%n Datei weicht vom Server ab, obwohl Größe und Zeit übereinstimmen: %1</numerusform>
            <numerusform>%n Dateien weichen vom Server ab, obwohl Größe und Zeit übereinstimmen: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HostKeyCheck</name>
    <message>
        <source>Host key added to ~/.ssh/known_hosts.</source>
        <translation>Hostschlüssel zu ~/.ssh/known_hosts hinzugefügt.</translation>
    </message>
    <message>
        <source>Failed to trust host: %1</source>
        <translation>Dem Host konnte nicht vertraut werden: %1</translation>
    </message>
    <message>
        <source>The old host key was removed and the new one trusted.</source>
        <translation>Der alte Host-Schlüssel wurde entfernt und dem neuen vertraut.</translation>
    </message>
</context>
<context>
    <name>HostKeyChecker</name>
    <message>
        <source>No response from %1:%2</source>
        <translation>Keine Antwort von %1:%2</translation>
    </message>
    <message>
        <source>Could not parse fingerprint</source>
        <translation>Der Fingerabdruck war nicht lesbar</translation>
    </message>
    <message>
        <source>ssh-keyscan failed</source>
        <translation>ssh-keyscan ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>the server now presents %1 %2, not the key shown. Check again.</source>
        <translation>der Server zeigt jetzt %1 %2, nicht den angezeigten Schlüssel. Prüfen Sie erneut.</translation>
    </message>
</context>
<context>
    <name>HostKeySection</name>
    <message>
        <source>Host key</source>
        <translation>Hostschlüssel</translation>
    </message>
    <message>
        <source>Check host key</source>
        <translation>Hostschlüssel prüfen</translation>
    </message>
    <message>
        <source>Verify the server&apos;s SSH host key fingerprint before trusting it. On first use, compare the fingerprint with what the server administrator provides.</source>
        <translation>Prüfen Sie den Fingerabdruck des SSH-Hostschlüssels, bevor Sie ihm vertrauen. Vergleichen Sie ihn beim ersten Mal mit dem, den Ihnen die Administration des Servers nennt.</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Wird geprüft …</translation>
    </message>
    <message>
        <source>✔ Trusted</source>
        <translation>✔ Vertraut</translation>
    </message>
    <message>
        <source>Trusted fingerprint</source>
        <translation>Vertrauter Fingerabdruck</translation>
    </message>
    <message>
        <source>? Unknown host</source>
        <translation>? Unbekannter Host</translation>
    </message>
    <message>
        <source>Server&apos;s fingerprint</source>
        <translation>Fingerabdruck des Servers</translation>
    </message>
    <message>
        <source>Trust this host</source>
        <translation>Diesem Host vertrauen</translation>
    </message>
    <message>
        <source>Only trust if the fingerprint matches what the administrator gave you.</source>
        <translation>Nur vertrauen, wenn der Fingerabdruck mit dem der Administration übereinstimmt.</translation>
    </message>
    <message>
        <source>⚠ Fingerprint mismatch!</source>
        <translation>⚠ Anderer Fingerabdruck!</translation>
    </message>
    <message>
        <source>Server presents</source>
        <translation>Server zeigt</translation>
    </message>
    <message>
        <source>You trusted</source>
        <translation>Sie vertrauten</translation>
    </message>
    <message>
        <source>DANGER: the key changed. This can happen after a server rebuild — but also indicates possible interception. Do not proceed without verifying with the administrator.</source>
        <translation>GEFAHR: Der Schlüssel hat sich geändert. Das kann nach einer Neuinstallation des Servers passieren – aber auch auf ein Abhören hindeuten. Fahren Sie nicht fort, ohne es mit der Administration zu klären.</translation>
    </message>
    <message>
        <source>✖ Unreachable</source>
        <translation>✖ Nicht erreichbar</translation>
    </message>
    <message>
        <source>Replace the stored key…</source>
        <translation>Gespeicherten Schlüssel ersetzen …</translation>
    </message>
</context>
<context>
    <name>KeySetup</name>
    <message>
        <source>no path for the key</source>
        <translation>kein Pfad für den Schlüssel</translation>
    </message>
    <message>
        <source>a file is already at %1; nothing was changed</source>
        <translation>unter %1 liegt bereits eine Datei; nichts wurde geändert</translation>
    </message>
    <message>
        <source>could not make the folder %1</source>
        <translation>der Ordner %1 konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>ssh-keygen ended with code %1</source>
        <translation>ssh-keygen endete mit Code %1</translation>
    </message>
    <message>
        <source>the public key could not be made from %1</source>
        <translation>der öffentliche Schlüssel konnte nicht aus %1 erzeugt werden</translation>
    </message>
    <message>
        <source>could not write %1: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>could not prepare the password hand-over: %1</source>
        <translation>die Übergabe des Passworts konnte nicht vorbereitet werden: %1</translation>
    </message>
    <message>
        <source>ssh-copy-id could not be started: %1</source>
        <translation>ssh-copy-id konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>ssh-copy-id did not finish within a minute</source>
        <translation>ssh-copy-id wurde nicht innerhalb einer Minute fertig</translation>
    </message>
    <message>
        <source>the server did not accept the password</source>
        <translation>der Server hat das Passwort nicht angenommen</translation>
    </message>
    <message>
        <source>the server asked for no password (it may allow key log-ins only): %1</source>
        <translation>der Server hat nach keinem Passwort gefragt (er erlaubt vielleicht nur Anmeldungen mit Schlüssel): %1</translation>
    </message>
    <message>
        <source>the server&apos;s host key is not trusted yet: check it first</source>
        <translation>dem Hostschlüssel des Servers wird noch nicht vertraut: Prüfen Sie ihn zuerst</translation>
    </message>
    <message>
        <source>ssh-copy-id ended with code %1</source>
        <translation>ssh-copy-id endete mit Code %1</translation>
    </message>
</context>
<context>
    <name>LastRunSection</name>
    <message>
        <source>Last run</source>
        <translation>Letzter Lauf</translation>
    </message>
    <message>
        <source>When</source>
        <translation>Wann</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>View full log</source>
        <translation>Ganzes Protokoll anzeigen</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Abgebrochen</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Erfolgreich</translation>
    </message>
    <message>
        <source>Failed (exit %1)</source>
        <translation>Fehlgeschlagen (Exit-Code %1)</translation>
    </message>
    <message>
        <source>These changes are expected</source>
        <translation>Diese Änderungen sind gewollt</translation>
    </message>
    <message>
        <source>Old backups are pruned again from the next run</source>
        <translation>Alte Sicherungen werden ab dem nächsten Lauf wieder ausgedünnt</translation>
    </message>
    <message>
        <source>The old backups stay kept: %1</source>
        <translation>Die alten Sicherungen bleiben behalten: %1</translation>
    </message>
    <message>
        <source>Check backups…</source>
        <translation>Sicherungen prüfen …</translation>
    </message>
    <message>
        <source>Read every copy once and compare it with its fingerprint</source>
        <translation>Jede Kopie einmal lesen und mit ihrem Fingerabdruck vergleichen</translation>
    </message>
    <message>
        <source>Checked</source>
        <translation>Geprüft</translation>
    </message>
    <message>
        <source>Never</source>
        <translation>Nie</translation>
    </message>
    <message>
        <source>%1 · every file intact</source>
        <translation>%1 · alle Dateien unversehrt</translation>
    </message>
    <message numerus="yes">
        <source>%1 · %n damaged file(s): see tidewell --verify</source>
        <translation>
            <numerusform>%1 · %n beschädigte Datei: siehe tidewell --verify</numerusform>
            <numerusform>%1 · %n beschädigte Dateien: siehe tidewell --verify</numerusform>
        </translation>
    </message>
    <message>
        <source>Checking… %1 of %2 files</source>
        <translation>Wird geprüft … %1 von %2 Dateien</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Wird geprüft …</translation>
    </message>
    <message>
        <source>The backups could not be read: %1</source>
        <translation>Die Sicherungen konnten nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Check against the server</source>
        <translation>Mit dem Server vergleichen</translation>
    </message>
    <message>
        <source>Read the newest backup and the server&apos;s files and name those that differ though size and time agree</source>
        <translation>Die neueste Sicherung und die Dateien des Servers lesen und die nennen, die sich trotz gleicher Größe und Zeit unterscheiden</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Never compared</source>
        <translation>Nie verglichen</translation>
    </message>
    <message>
        <source>%1 · agrees with the server</source>
        <translation>%1 · stimmt mit dem Server überein</translation>
    </message>
    <message numerus="yes">
        <source>%1 · %n file(s) differ though size and time agree: see tidewell --verify-remote</source>
        <translation>
            <numerusform>%1 · %n Datei unterscheidet sich trotz gleicher Größe und Zeit: siehe tidewell --verify-remote</numerusform>
            <numerusform>%1 · %n Dateien unterscheiden sich trotz gleicher Größe und Zeit: siehe tidewell --verify-remote</numerusform>
        </translation>
    </message>
    <message>
        <source>Comparing every file with the server…</source>
        <translation>Jede Datei wird mit dem Server verglichen …</translation>
    </message>
    <message>
        <source>The check could not be made: %1</source>
        <translation>Der Vergleich war nicht möglich: %1</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Copies</source>
        <translation>Kopien</translation>
    </message>
    <message>
        <source>Not copied to %1 yet</source>
        <translation>Noch nicht nach %1 kopiert</translation>
    </message>
    <message>
        <source>Copied to %1: up to %2</source>
        <translation>Nach %1 kopiert: bis %2</translation>
    </message>
    <message>
        <source>the last copy failed: %1</source>
        <translation>die letzte Kopie ist fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Paused: the next run goes on from where it stopped</source>
        <translation>Angehalten: der nächste Lauf macht dort weiter</translation>
    </message>
</context>
<context>
    <name>Lingering</name>
    <message>
        <source>Timers run only while you are logged in: run `loginctl enable-linger %1`</source>
        <translation>Zeitgesteuerte Läufe gibt es nur, solange Sie angemeldet sind: führen Sie `loginctl enable-linger %1` aus</translation>
    </message>
</context>
<context>
    <name>LocalCommand</name>
    <message>
        <source>The command before the run names “%1”, which is not an executable file.</source>
        <translation>Der Befehl vor dem Lauf nennt „%1“, das keine ausführbare Datei ist.</translation>
    </message>
    <message>
        <source>The command before the run must start with the program&apos;s absolute path, not “%1”.</source>
        <translation>Der Befehl vor dem Lauf muss mit dem absoluten Pfad des Programms beginnen, nicht mit „%1“.</translation>
    </message>
    <message>
        <source>The command after a successful run names “%1”, which is not an executable file.</source>
        <translation>Der Befehl nach einem erfolgreichen Lauf nennt „%1“, das keine ausführbare Datei ist.</translation>
    </message>
    <message>
        <source>The command after a successful run must start with the program&apos;s absolute path, not “%1”.</source>
        <translation>Der Befehl nach einem erfolgreichen Lauf muss mit dem absoluten Pfad des Programms beginnen, nicht mit „%1“.</translation>
    </message>
    <message>
        <source>The command after a failed run names “%1”, which is not an executable file.</source>
        <translation>Der Befehl nach einem fehlgeschlagenen Lauf nennt „%1“, das keine ausführbare Datei ist.</translation>
    </message>
    <message>
        <source>The command after a failed run must start with the program&apos;s absolute path, not “%1”.</source>
        <translation>Der Befehl nach einem fehlgeschlagenen Lauf muss mit dem absoluten Pfad des Programms beginnen, nicht mit „%1“.</translation>
    </message>
</context>
<context>
    <name>LogViewerView</name>
    <message>
        <source>Last log</source>
        <translation>Letztes Protokoll</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Erfolgreich</translation>
    </message>
    <message>
        <source>Failed (exit %1)</source>
        <translation>Fehlgeschlagen (Exit-Code %1)</translation>
    </message>
    <message>
        <source>Reveal log file</source>
        <translation>Protokolldatei anzeigen</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Last run: %1</source>
        <translation>Letzter Lauf: %1</translation>
    </message>
    <message>
        <source>No log available for this server.</source>
        <translation>Für diesen Server gibt es kein Protokoll.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Add Server</source>
        <translation>Server hinzufügen</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>Einstellungen …</translation>
    </message>
    <message>
        <source>Quit Tidewell</source>
        <translation>Tidewell beenden</translation>
    </message>
    <message>
        <source>&amp;Server</source>
        <translation>&amp;Server</translation>
    </message>
    <message>
        <source>Find Servers</source>
        <translation>Server suchen</translation>
    </message>
    <message>
        <source>Dashboard</source>
        <translation>Übersicht</translation>
    </message>
    <message>
        <source>Run Backup Now</source>
        <translation>Jetzt sichern</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>Servers</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Show dashboard</source>
        <translation>Übersicht zeigen</translation>
    </message>
    <message>
        <source>Add a new server</source>
        <translation>Einen neuen Server hinzufügen</translation>
    </message>
    <message>
        <source>Find by name or host (Ctrl+F)</source>
        <translation>Nach Name oder Host suchen (Strg+F)</translation>
    </message>
    <message>
        <source>Find servers</source>
        <translation>Server suchen</translation>
    </message>
    <message>
        <source>Show servers</source>
        <translation>Server zeigen</translation>
    </message>
    <message>
        <source>Order</source>
        <translation>Reihenfolge</translation>
    </message>
    <message>
        <source>As configured</source>
        <translation>Wie eingerichtet</translation>
    </message>
    <message>
        <source>By name</source>
        <translation>Nach Name</translation>
    </message>
    <message>
        <source>Needs attention first</source>
        <translation>Handlungsbedarf zuerst</translation>
    </message>
    <message>
        <source>Could not open %1: %2</source>
        <translation>%1 konnte nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>No backups yet</source>
        <translation>Noch keine Sicherungen</translation>
    </message>
    <message>
        <source>Run backup now</source>
        <translation>Jetzt sichern</translation>
    </message>
    <message>
        <source>Open backups folder</source>
        <translation>Sicherungsordner öffnen</translation>
    </message>
    <message>
        <source>View last log</source>
        <translation>Letztes Protokoll anzeigen</translation>
    </message>
    <message>
        <source>Restore…</source>
        <translation>Wiederherstellen …</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Duplizieren</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Delete server</source>
        <translation>Server löschen</translation>
    </message>
    <message>
        <source>This removes the server configuration. Local backups are not touched.</source>
        <translation>Damit wird die Konfiguration des Servers entfernt. Lokale Sicherungen bleiben unberührt.</translation>
    </message>
    <message>
        <source>Could not open %1: the folder could not be made</source>
        <translation>%1 konnte nicht geöffnet werden: Der Ordner konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>%1 could not be read: %2</source>
        <translation>%1 konnte nicht gelesen werden: %2</translation>
    </message>
    <message numerus="yes">
        <source>%1: %2 (and %n more)</source>
        <translation>
            <numerusform>%1: %2 (und %n weiteres)</numerusform>
            <numerusform>%1: %2 (und %n weitere)</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Add a server</source>
        <translation>Server hinzufügen</translation>
    </message>
    <message>
        <source>Find servers by name or host</source>
        <translation>Server nach Name oder Host suchen</translation>
    </message>
    <message>
        <source>Show the dashboard</source>
        <translation>Die Übersicht zeigen</translation>
    </message>
    <message>
        <source>Run a backup of the selected server now</source>
        <translation>Den gewählten Server jetzt sichern</translation>
    </message>
    <message>
        <source>Delete the selected server (in the list, after asking)</source>
        <translation>Den gewählten Server löschen (in der Liste, nach Rückfrage)</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Enter</source>
        <translation>Eingabe</translation>
    </message>
    <message>
        <source>Open the server of the focused dashboard card</source>
        <translation>Den Server der ausgewählten Übersichtskarte öffnen</translation>
    </message>
    <message>
        <source>All (%1)</source>
        <translation>Alle (%1)</translation>
    </message>
    <message>
        <source>Failing (%1)</source>
        <translation>Fehlerhaft (%1)</translation>
    </message>
    <message>
        <source>Overdue (%1)</source>
        <translation>Überfällig (%1)</translation>
    </message>
    <message>
        <source>Running (%1)</source>
        <translation>Laufend (%1)</translation>
    </message>
    <message>
        <source>Not scheduled (%1)</source>
        <translation>Nicht geplant (%1)</translation>
    </message>
    <message>
        <source>The configuration file could not be read; its contents were kept in %1</source>
        <translation>Die Konfigurationsdatei konnte nicht gelesen werden; ihr Inhalt wurde in %1 aufbewahrt</translation>
    </message>
    <message>
        <source>%1 could not be read: %2 (kept as %3)</source>
        <translation>%1 konnte nicht gelesen werden: %2 (aufbewahrt als %3)</translation>
    </message>
    <message>
        <source>%1 could not be read: %2 (it will not be replaced: %3)</source>
        <translation>%1 konnte nicht gelesen werden: %2 (sie wird nicht ersetzt: %3)</translation>
    </message>
    <message>
        <source>Last backup: %1</source>
        <translation>Letzte Sicherung: %1</translation>
    </message>
    <message>
        <source>Leave a server&apos;s settings for the dashboard</source>
        <translation>Die Einstellungen eines Servers verlassen und zur Übersicht gehen</translation>
    </message>
    <message>
        <source>Show backup</source>
        <translation>Sicherung anzeigen</translation>
    </message>
    <message>
        <source>The backups of %1 are encrypted: browse and restore them in Tidewell, or open the folder by hand with gocryptfs.</source>
        <translation>Die Sicherungen von %1 sind verschlüsselt: durchsuchen und wiederherstellen Sie sie in Tidewell, oder öffnen Sie den Ordner von Hand mit gocryptfs.</translation>
    </message>
</context>
<context>
    <name>MenuBarContent</name>
    <message>
        <source>Run backup now</source>
        <translation>Jetzt sichern</translation>
    </message>
    <message>
        <source>Last: %1</source>
        <translation>Zuletzt: %1</translation>
    </message>
    <message>
        <source>Scheduled: daily at %1 (next %2)</source>
        <translation>Geplant: täglich um %1 (nächster Lauf %2)</translation>
    </message>
    <message>
        <source>Scheduled: daily at %1</source>
        <translation>Geplant: täglich um %1</translation>
    </message>
    <message>
        <source>Progress: %1%  —  %2</source>
        <translation>Fortschritt: %1 %  —  %2</translation>
    </message>
    <message>
        <source>Path: %1</source>
        <translation>Pfad: %1</translation>
    </message>
    <message>
        <source>Running: %1</source>
        <translation>Läuft: %1</translation>
    </message>
    <message>
        <source>Cancel current backup</source>
        <translation>Laufende Sicherung abbrechen</translation>
    </message>
    <message>
        <source>No servers configured</source>
        <translation>Keine Server eingerichtet</translation>
    </message>
    <message numerus="yes">
        <source>and %n more…</source>
        <translation>
            <numerusform>und %n weiterer …</numerusform>
            <numerusform>und %n weitere …</numerusform>
        </translation>
    </message>
    <message>
        <source>All servers…</source>
        <translation>Alle Server …</translation>
    </message>
    <message>
        <source>Open Tidewell…</source>
        <translation>Tidewell öffnen …</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>Einstellungen …</translation>
    </message>
    <message>
        <source>Quit Tidewell</source>
        <translation>Tidewell beenden</translation>
    </message>
    <message>
        <source>Scheduled: %1 (next %2)</source>
        <translation>Geplant: %1 (nächste %2)</translation>
    </message>
    <message>
        <source>Scheduled: %1</source>
        <translation>Geplant: %1</translation>
    </message>
    <message>
        <source>Cancel the backup of %1</source>
        <translation>Sicherung von %1 abbrechen</translation>
    </message>
    <message>
        <source>Waiting for a free slot…</source>
        <translation>Wartet auf einen freien Platz …</translation>
    </message>
</context>
<context>
    <name>NotificationService</name>
    <message>
        <source>⏹ %1 — backup cancelled</source>
        <translation>⏹ %1 – Sicherung abgebrochen</translation>
    </message>
    <message>
        <source>%1 — backup ended (status unknown)</source>
        <translation>%1 – Sicherung beendet (Status unbekannt)</translation>
    </message>
    <message>
        <source>⚠ %1 — backup completed, but %2</source>
        <translation>⚠ %1 – Sicherung abgeschlossen, aber %2</translation>
    </message>
    <message>
        <source>✓ %1 — backup completed</source>
        <translation>✓ %1 – Sicherung abgeschlossen</translation>
    </message>
    <message>
        <source>✗ %1 — backup failed (exit %2)</source>
        <translation>✗ %1 – Sicherung fehlgeschlagen (Exit-Code %2)</translation>
    </message>
    <message>
        <source>⏹ %1 — restore cancelled</source>
        <translation>⏹ %1 – Wiederherstellung abgebrochen</translation>
    </message>
    <message>
        <source>✓ %1 — restore completed</source>
        <translation>✓ %1 – Wiederherstellung abgeschlossen</translation>
    </message>
    <message>
        <source>✗ %1 — restore failed (exit %2)</source>
        <translation>✗ %1 – Wiederherstellung fehlgeschlagen (Exit-Code %2)</translation>
    </message>
    <message>
        <source>✗ %1 — restore failed (exit unknown)</source>
        <translation>✗ %1 – Wiederherstellung fehlgeschlagen (Exit-Code unbekannt)</translation>
    </message>
    <message>
        <source>✗ %1 — backup failed: %2</source>
        <translation>✗ %1 – Sicherung fehlgeschlagen: %2</translation>
    </message>
</context>
<context>
    <name>OverdueWatch</name>
    <message>
        <source>Show</source>
        <translation>Anzeigen</translation>
    </message>
    <message>
        <source>⚠ %1 — no successful backup yet</source>
        <translation>⚠ %1 – noch keine erfolgreiche Sicherung</translation>
    </message>
    <message numerus="yes">
        <source>⚠ %1 — no successful backup for %n day(s)</source>
        <translation>
            <numerusform>⚠ %1 – seit %n Tag keine erfolgreiche Sicherung</numerusform>
            <numerusform>⚠ %1 – seit %n Tagen keine erfolgreiche Sicherung</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>⚠ %n server(s) need attention</source>
        <translation>
            <numerusform>⚠ %n Server braucht Aufmerksamkeit</numerusform>
            <numerusform>⚠ %n Server brauchen Aufmerksamkeit</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n more</source>
        <translation>
            <numerusform>%1 und %n weiterer</numerusform>
            <numerusform>%1 und %n weitere</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PathField</name>
    <message>
        <source>Browse…</source>
        <translation>Durchsuchen …</translation>
    </message>
</context>
<context>
    <name>PathRow</name>
    <message>
        <source>Copy this path</source>
        <translation>Diesen Pfad kopieren</translation>
    </message>
    <message>
        <source>Label (e.g. SQLite DB, Media)</source>
        <translation>Bezeichnung (z. B. SQLite-DB, Medien)</translation>
    </message>
    <message>
        <source>Path label</source>
        <translation>Bezeichnung des Pfads</translation>
    </message>
    <message>
        <source>Remote path (e.g. /var/www/app/media)</source>
        <translation>Entfernter Pfad (z. B. /var/www/app/media)</translation>
    </message>
    <message>
        <source>Remote path</source>
        <translation>Entfernter Pfad</translation>
    </message>
    <message>
        <source>Directory</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Pre-backup command (runs via SSH before rsync, optional)</source>
        <translation>Befehl vor der Sicherung (läuft über SSH vor rsync, optional)</translation>
    </message>
    <message>
        <source>Pre-backup command</source>
        <translation>Befehl vor der Sicherung</translation>
    </message>
    <message>
        <source>Exclude (one rsync pattern per line, e.g. node_modules/, *.log)</source>
        <translation>Ausschließen (ein rsync-Muster pro Zeile, z. B. node_modules/, *.log)</translation>
    </message>
    <message>
        <source>Exclude patterns</source>
        <translation>Ausschlussmuster</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Show what a run would copy and what the patterns leave out, without copying anything</source>
        <translation>Zeigen, was ein Lauf kopieren würde und was die Muster auslassen, ohne etwas zu kopieren</translation>
    </message>
    <message>
        <source>Choose the path among the server&apos;s folders</source>
        <translation>Den Pfad unter den Ordnern des Servers wählen</translation>
    </message>
    <message>
        <source>Remove this path</source>
        <translation>Diesen Pfad entfernen</translation>
    </message>
    <message>
        <source>After-backup command (runs via SSH after rsync, also when it failed; $TIDEWELL_STATUS is rsync&apos;s exit)</source>
        <translation>Befehl nach der Sicherung (läuft über SSH nach rsync, auch wenn es fehlschlug; $TIDEWELL_STATUS ist der Exit-Code von rsync)</translation>
    </message>
    <message>
        <source>After-backup command</source>
        <translation>Befehl nach der Sicherung</translation>
    </message>
    <message>
        <source>Database dump</source>
        <translation>Datenbank-Dump</translation>
    </message>
    <message>
        <source>The remote path is a folder: the database is dumped into it before the transfer, copied with it and removed after</source>
        <translation>Der entfernte Pfad ist ein Ordner: die Datenbank wird vor der Übertragung hinein gesichert, mit ihm kopiert und danach entfernt</translation>
    </message>
    <message>
        <source>Database</source>
        <translation>Datenbank</translation>
    </message>
    <message>
        <source>Database name</source>
        <translation>Name der Datenbank</translation>
    </message>
    <message>
        <source>Account (optional)</source>
        <translation>Konto (optional)</translation>
    </message>
    <message>
        <source>Database account</source>
        <translation>Datenbankkonto</translation>
    </message>
    <message>
        <source>Folder on the server the dump is written to (e.g. /var/backups/db)</source>
        <translation>Ordner auf dem Server, in den der Dump geschrieben wird (z. B. /var/backups/db)</translation>
    </message>
    <message>
        <source>Database file on the server (e.g. /var/lib/app/app.db)</source>
        <translation>Datenbankdatei auf dem Server (z. B. /var/lib/app/app.db)</translation>
    </message>
</context>
<context>
    <name>PathsSection</name>
    <message>
        <source>Backup paths</source>
        <translation>Sicherungspfade</translation>
    </message>
    <message>
        <source>Add path</source>
        <translation>Pfad hinzufügen</translation>
    </message>
    <message>
        <source>%1 enabled of %2</source>
        <translation>%1 von %2 aktiv</translation>
    </message>
</context>
<context>
    <name>PreviewDialog</name>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Asking the server what a run would copy…</source>
        <translation>Der Server wird gefragt, was ein Lauf kopieren würde …</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>A dry run with this path&apos;s real options: nothing is copied. Lines starting with “&gt;f” or “cd” would be copied, “hf” or “.f” taken unchanged; “hiding” lines are left out by a pattern.</source>
        <translation>Ein Probelauf mit den echten Optionen dieses Pfads: Nichts wird kopiert. Zeilen mit „&gt;f“ oder „cd“ am Anfang würden kopiert, „hf“ oder „.f“ unverändert übernommen; „hiding“-Zeilen lässt ein Muster aus.</translation>
    </message>
    <message>
        <source>The server is no longer in the settings.</source>
        <translation>Der Server ist nicht mehr in den Einstellungen.</translation>
    </message>
    <message>
        <source>%1 is %2 on the server.</source>
        <translation>%1 ist auf dem Server %2.</translation>
    </message>
    <message numerus="yes">
        <source>A run would copy %n file(s)</source>
        <translation>
            <numerusform>Ein Lauf würde %n Datei kopieren</numerusform>
            <numerusform>Ein Lauf würde %n Dateien kopieren</numerusform>
        </translation>
    </message>
    <message>
        <source>Preview of “%1” on %2</source>
        <translation>Vorschau von „%1“ auf %2</translation>
    </message>
    <message numerus="yes">
        <source>%1 and take %n unchanged file(s) from the snapshot of %2</source>
        <translation>
            <numerusform>%1 und %n unveränderte Datei aus dem Schnappschuss vom %2 übernehmen</numerusform>
            <numerusform>%1 und %n unveränderte Dateien aus dem Schnappschuss vom %2 übernehmen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1; %n file(s) in the destination are up to date</source>
        <translation>
            <numerusform>%1; %n Datei im Ziel ist aktuell</numerusform>
            <numerusform>%1; %n Dateien im Ziel sind aktuell</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1; %n item(s) left out by exclude patterns.</source>
        <translation>
            <numerusform>%1; %n Eintrag durch Ausschlussmuster ausgelassen.</numerusform>
            <numerusform>%1; %n Einträge durch Ausschlussmuster ausgelassen.</numerusform>
        </translation>
    </message>
    <message>
        <source>Cancelled. So far: %1</source>
        <translation>Abgebrochen. Bis dahin: %1</translation>
    </message>
    <message>
        <source>Included at the top: %1</source>
        <translation>Oberste Ebene enthält: %1</translation>
    </message>
    <message>
        <source>rsync ended with exit %1; see its lines below.</source>
        <translation>rsync endete mit Exit-Code %1; siehe seine Zeilen unten.</translation>
    </message>
    <message>
        <source>The first %1 of rsync&apos;s lines are shown.</source>
        <translation>Die ersten %1 Zeilen von rsync werden gezeigt.</translation>
    </message>
</context>
<context>
    <name>RemoteFolderDialog</name>
    <message>
        <source>Choose a remote path on %1</source>
        <translation>Einen entfernten Pfad auf %1 wählen</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Wählen</translation>
    </message>
    <message>
        <source>Listing %1…</source>
        <translation>%1 wird aufgelistet …</translation>
    </message>
    <message>
        <source>the home folder</source>
        <translation>den Persönlichen Ordner</translation>
    </message>
    <message>
        <source>Could not list the folder: %1</source>
        <translation>Der Ordner konnte nicht aufgelistet werden: %1</translation>
    </message>
    <message>
        <source>This folder is empty.</source>
        <translation>Dieser Ordner ist leer.</translation>
    </message>
</context>
<context>
    <name>RemoteListing</name>
    <message>
        <source>the server&apos;s answer was not a folder listing</source>
        <translation>die Antwort des Servers war keine Ordnerliste</translation>
    </message>
    <message>
        <source>the server&apos;s find cannot list folders (it has no -printf): type the path instead</source>
        <translation>find auf dem Server kann keine Ordner auflisten (kein -printf): Geben Sie den Pfad stattdessen ein</translation>
    </message>
    <message>
        <source>ssh exited with code %1</source>
        <translation>ssh endete mit Code %1</translation>
    </message>
</context>
<context>
    <name>RestoreView</name>
    <message>
        <source>Restore from “%1”</source>
        <translation>Wiederherstellen aus „%1“</translation>
    </message>
    <message>
        <source>Backups</source>
        <translation>Sicherungen</translation>
    </message>
    <message>
        <source>Find in this backup (a part of a name)</source>
        <translation>In dieser Sicherung suchen (ein Teil eines Namens)</translation>
    </message>
    <message>
        <source>Found</source>
        <translation>Gefunden</translation>
    </message>
    <message>
        <source>Versions…</source>
        <translation>Versionen …</translation>
    </message>
    <message>
        <source>Compare…</source>
        <translation>Vergleichen …</translation>
    </message>
    <message>
        <source>Restore to this computer…</source>
        <translation>Auf diesen Rechner wiederherstellen …</translation>
    </message>
    <message>
        <source>Restore to the server…</source>
        <translation>Auf den Server wiederherstellen …</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>%1 found; the first %2 are shown.</source>
        <translation>%1 gefunden; die ersten %2 werden gezeigt.</translation>
    </message>
    <message numerus="yes">
        <source>%n found.</source>
        <translation>
            <numerusform>%n gefunden.</numerusform>
            <numerusform>%n gefunden.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 (incomplete)</source>
        <translation>%1 (unvollständig)</translation>
    </message>
    <message>
        <source>There are no dated backups of this server in %1 yet.</source>
        <translation>In %1 gibt es noch keine datierten Sicherungen dieses Servers.</translation>
    </message>
    <message>
        <source>This backup is incomplete: its run did not finish, so files may be missing or older.</source>
        <translation>Diese Sicherung ist unvollständig: Ihr Lauf wurde nicht fertig, daher können Dateien fehlen oder älter sein.</translation>
    </message>
    <message>
        <source>Searching…</source>
        <translation>Wird gesucht …</translation>
    </message>
    <message>
        <source>Restore from an incomplete backup?</source>
        <translation>Aus einer unvollständigen Sicherung wiederherstellen?</translation>
    </message>
    <message>
        <source>The backup of %1 is incomplete.</source>
        <translation>Die Sicherung vom %1 ist unvollständig.</translation>
    </message>
    <message>
        <source>Its run did not finish: some files may be missing, or be older than the server&apos;s were that day.</source>
        <translation>Ihr Lauf wurde nicht fertig: Manche Dateien können fehlen oder älter sein, als sie an diesem Tag auf dem Server waren.</translation>
    </message>
    <message>
        <source>Restore anyway</source>
        <translation>Trotzdem wiederherstellen</translation>
    </message>
    <message>
        <source>Choose one file or folder that a path of this server backs up.</source>
        <translation>Wählen Sie eine Datei oder einen Ordner, die ein Pfad dieses Servers sichert.</translation>
    </message>
    <message>
        <source>Choose the files and folders to restore first.</source>
        <translation>Wählen Sie zuerst die wiederherzustellenden Dateien und Ordner.</translation>
    </message>
    <message>
        <source>Only files that a path of this server backs up can go back to it.</source>
        <translation>Nur Dateien, die ein Pfad dieses Servers sichert, können auf ihn zurück.</translation>
    </message>
    <message>
        <source>Restore to the server</source>
        <translation>Auf den Server wiederherstellen</translation>
    </message>
    <message>
        <source>Put them back where they came from, or into this folder of the server (leave it empty for where they came from):</source>
        <translation>An ihren Ursprungsort zurücklegen, oder in diesen Ordner des Servers (leer lassen für den Ursprungsort):</translation>
    </message>
    <message>
        <source>A backup of this server is running; restore after it has finished.</source>
        <translation>Eine Sicherung dieses Servers läuft; stellen Sie wieder her, wenn sie fertig ist.</translation>
    </message>
    <message>
        <source>Looking at what is there…</source>
        <translation>Vorhandenes wird geprüft …</translation>
    </message>
    <message>
        <source>Nothing was restored.</source>
        <translation>Nichts wurde wiederhergestellt.</translation>
    </message>
    <message>
        <source>Restoring to %1…</source>
        <translation>Wird nach %1 wiederhergestellt …</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message numerus="yes">
        <source>Cancelled: %n file(s) had been restored to %1.</source>
        <translation>
            <numerusform>Abgebrochen: %n Datei war nach %1 wiederhergestellt.</numerusform>
            <numerusform>Abgebrochen: %n Dateien waren nach %1 wiederhergestellt.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Restored %n file(s) to %1.</source>
        <translation>
            <numerusform>%n Datei nach %1 wiederhergestellt.</numerusform>
            <numerusform>%n Dateien nach %1 wiederhergestellt.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n left as they were.</source>
        <translation>
            <numerusform>%n blieb, wie sie war.</numerusform>
            <numerusform>%n blieben, wie sie waren.</numerusform>
        </translation>
    </message>
    <message>
        <source>Kept both: %1.</source>
        <translation>Beide behalten: %1.</translation>
    </message>
    <message>
        <source>Not restored: %1</source>
        <translation>Nicht wiederhergestellt: %1</translation>
    </message>
    <message>
        <source>Asking the server what the restore would change (a dry run: nothing is written)…</source>
        <translation>Der Server wird gefragt, was die Wiederherstellung ändern würde (ein Probelauf: nichts wird geschrieben) …</translation>
    </message>
    <message>
        <source>The dry run failed (exit %1): %2</source>
        <translation>Der Probelauf ist fehlgeschlagen (Exit-Code %1): %2</translation>
    </message>
    <message>
        <source>Restore to the server?</source>
        <translation>Auf den Server wiederherstellen?</translation>
    </message>
    <message>
        <source>Files the restore replaces are kept on the server in a .tidewell-replaced folder beside them; nothing is deleted there.</source>
        <translation>Dateien, die die Wiederherstellung ersetzt, bleiben auf dem Server in einem .tidewell-replaced-Ordner daneben erhalten; dort wird nichts gelöscht.</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Restored; replaced files are kept on the server in %1.</source>
        <translation>Wiederhergestellt; ersetzte Dateien liegen auf dem Server in %1.</translation>
    </message>
    <message numerus="yes">
        <source>Skipped %n special file(s): %1.</source>
        <translation>
            <numerusform>%n Spezialdatei übersprungen: %1.</numerusform>
            <numerusform>%n Spezialdateien übersprungen: %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>Restored; nothing on the server was replaced.</source>
        <translation>Wiederhergestellt; auf dem Server wurde nichts ersetzt.</translation>
    </message>
    <message>
        <source>Read from</source>
        <translation>Lesen aus</translation>
    </message>
    <message>
        <source>The destination (%1)</source>
        <translation>Dem Ziel (%1)</translation>
    </message>
    <message>
        <source>The second copy “%1” (%2)</source>
        <translation>Der zweiten Kopie „%1“ (%2)</translation>
    </message>
    <message>
        <source>The second copy “%1” (over ssh: tidewell --restore --from “%1”)</source>
        <translation>Der zweiten Kopie „%1“ (über ssh: tidewell --restore --from „%1“)</translation>
    </message>
    <message>
        <source>Find in this backup</source>
        <translation>In dieser Sicherung suchen</translation>
    </message>
    <message>
        <source>Files in this backup</source>
        <translation>Dateien in dieser Sicherung</translation>
    </message>
    <message>
        <source>In every backup</source>
        <translation>In jeder Sicherung</translation>
    </message>
    <message>
        <source>Each file is found once, in the newest backup that holds it</source>
        <translation>Jede Datei wird einmal gefunden, in der neuesten Sicherung, die sie enthält</translation>
    </message>
    <message>
        <source>Find in every backup (a part of a name)</source>
        <translation>In jeder Sicherung suchen (ein Teil eines Namens)</translation>
    </message>
    <message>
        <source>Find in every backup</source>
        <translation>In jeder Sicherung suchen</translation>
    </message>
    <message>
        <source>Backup</source>
        <translation>Sicherung</translation>
    </message>
    <message>
        <source>These come from several backups: restore those of one backup at a time.</source>
        <translation>Diese stammen aus mehreren Sicherungen: Stellen Sie jeweils die einer Sicherung wieder her.</translation>
    </message>
    <message>
        <source>Opening the encrypted folder…</source>
        <translation>Der verschlüsselte Ordner wird geöffnet…</translation>
    </message>
    <message>
        <source>The encrypted folder cannot be opened: %1</source>
        <translation>Der verschlüsselte Ordner kann nicht geöffnet werden: %1</translation>
    </message>
</context>
<context>
    <name>RetentionSection</name>
    <message>
        <source>Retention</source>
        <translation>Aufbewahrung</translation>
    </message>
    <message>
        <source>0 = keep all</source>
        <translation>0 = alle behalten</translation>
    </message>
    <message>
        <source>plus weekly</source>
        <translation>plus wöchentlich</translation>
    </message>
    <message>
        <source>monthly</source>
        <translation>monatlich</translation>
    </message>
    <message>
        <source>Keep last N daily backups</source>
        <translation>Die letzten N täglichen Sicherungen behalten</translation>
    </message>
    <message>
        <source>Only applies when &apos;Create date subfolder&apos; is on in Settings and N is 1 or more. After each successful run, Tidewell keeps the last N YYYY-MM-DD folders and, besides them, the newest of each of the last W weeks (Monday to Sunday) and M months, and deletes the rest. Incomplete folders never count as kept; folders dated after today are never touched.</source>
        <translation>Gilt nur, wenn „Unterordner mit Datum anlegen“ in den Einstellungen an ist und N mindestens 1 ist. Nach jedem erfolgreichen Lauf behält Tidewell die letzten N JJJJ-MM-TT-Ordner und außerdem den neuesten jeder der letzten W Wochen (Montag bis Sonntag) und M Monate und löscht den Rest. Unvollständige Ordner zählen nie als behalten; Ordner mit einem Datum nach heute werden nie angerührt.</translation>
    </message>
    <message>
        <source>plus hourly</source>
        <translation>plus stündlich</translation>
    </message>
    <message>
        <source>Backed up several times a day, each run keeps a folder of its own (YYYY-MM-DD_HHMM): each of the last N days keeps its newest, and each of the last H hours its newest.</source>
        <translation>Bei mehreren Sicherungen am Tag behält jeder Lauf einen eigenen Ordner (JJJJ-MM-TT_HHMM): von jedem der letzten N Tage bleibt der neueste, ebenso von jeder der letzten H Stunden.</translation>
    </message>
</context>
<context>
    <name>RsyncPreview</name>
    <message>
        <source>The path is no longer in this server&apos;s settings.</source>
        <translation>Der Pfad ist nicht mehr in den Einstellungen dieses Servers.</translation>
    </message>
</context>
<context>
    <name>RsyncRunner</name>
    <message>
        <source>old backups could not be deleted</source>
        <translation>alte Sicherungen konnten nicht gelöscht werden</translation>
    </message>
    <message>
        <source>the server&apos;s host key has changed: open the server in Tidewell to check it</source>
        <translation>der Host-Schlüssel des Servers hat sich geändert: Öffnen Sie den Server in Tidewell, um ihn zu prüfen</translation>
    </message>
    <message>
        <source>the server&apos;s host key is not trusted yet: open the server in Tidewell</source>
        <translation>dem Host-Schlüssel des Servers wird noch nicht vertraut: Öffnen Sie den Server in Tidewell</translation>
    </message>
    <message>
        <source>most files changed since the last backup: old backups are kept until you confirm this change</source>
        <translation>die meisten Dateien haben sich seit der letzten Sicherung geändert: alte Sicherungen werden behalten, bis Sie diese Änderung bestätigen</translation>
    </message>
</context>
<context>
    <name>RunNotifier</name>
    <message>
        <source>Show</source>
        <translation>Anzeigen</translation>
    </message>
    <message>
        <source>View log</source>
        <translation>Protokoll anzeigen</translation>
    </message>
    <message>
        <source>Host key of %1 added on first use: %2</source>
        <translation>Hostschlüssel von %1 bei der ersten Verbindung hinzugefügt: %2</translation>
    </message>
</context>
<context>
    <name>Schedule</name>
    <message>
        <source>Invalid calendar &apos;%1&apos;: use a systemd calendar expression such as “Sat *-*-* 04:00”.</source>
        <translation>Ungültiger Kalender „%1“: Verwenden Sie einen systemd-Kalenderausdruck wie „Sat *-*-* 04:00“.</translation>
    </message>
    <message>
        <source>Invalid schedule: every %1 hours; use 1, 2, 3, 4, 6, 8 or 12.</source>
        <translation>Ungültiger Zeitplan: alle %1 Stunden; verwenden Sie 1, 2, 3, 4, 6, 8 oder 12.</translation>
    </message>
    <message>
        <source>Invalid schedule: weekday %1; use 1 (Monday) to 7 (Sunday).</source>
        <translation>Ungültiger Zeitplan: Wochentag %1; verwenden Sie 1 (Montag) bis 7 (Sonntag).</translation>
    </message>
</context>
<context>
    <name>ScheduleCalendar</name>
    <message>
        <source>systemd does not take “%1”: %2</source>
        <translation>systemd nimmt „%1“ nicht an: %2</translation>
    </message>
</context>
<context>
    <name>ScheduleFollow</name>
    <message>
        <source>schedule installed for %1</source>
        <translation>Zeitplan für %1 eingerichtet</translation>
    </message>
    <message>
        <source>schedule removed for %1</source>
        <translation>Zeitplan für %1 entfernt</translation>
    </message>
    <message>
        <source>tidewell: the schedule of %1 could not be installed: %2</source>
        <translation>tidewell: der Zeitplan von %1 konnte nicht eingerichtet werden: %2</translation>
    </message>
    <message>
        <source>tidewell: the schedule of %1 could not be removed: %2</source>
        <translation>tidewell: der Zeitplan von %1 konnte nicht entfernt werden: %2</translation>
    </message>
</context>
<context>
    <name>ScheduleSection</name>
    <message>
        <source>Schedule</source>
        <translation>Zeitplan</translation>
    </message>
    <message>
        <source>Run automatically every day</source>
        <translation>Jeden Tag automatisch ausführen</translation>
    </message>
    <message>
        <source>Time (HH:mm)</source>
        <translation>Uhrzeit (HH:mm)</translation>
    </message>
    <message>
        <source>the one in Settings</source>
        <translation>die aus den Einstellungen</translation>
    </message>
    <message>
        <source>Pinged with /start, then itself after a success or /&lt;exit code&gt; after a failure</source>
        <translation>Aufgerufen mit /start, nach Erfolg ohne Zusatz, nach einem Fehler mit /&lt;Exit-Code&gt;</translation>
    </message>
    <message>
        <source>Health-check URL</source>
        <translation>Health-Check-URL</translation>
    </message>
    <message>
        <source>Scheduling uses %1. When the scheduled time arrives, Tidewell runs in the background (no window shown).</source>
        <translation>Die Planung verwendet %1. Zur geplanten Zeit läuft Tidewell im Hintergrund (ohne Fenster).</translation>
    </message>
    <message>
        <source>Next run: %1</source>
        <translation>Nächster Lauf: %1</translation>
    </message>
    <message>
        <source>How often</source>
        <translation>Wie oft</translation>
    </message>
    <message>
        <source>Interval</source>
        <translation>Abstand</translation>
    </message>
    <message>
        <source>Day</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>Calendar</source>
        <translation>Kalender</translation>
    </message>
    <message>
        <source>Every day</source>
        <translation>Jeden Tag</translation>
    </message>
    <message>
        <source>Every few hours</source>
        <translation>Alle paar Stunden</translation>
    </message>
    <message>
        <source>On weekdays</source>
        <translation>An Werktagen</translation>
    </message>
    <message>
        <source>Once a week</source>
        <translation>Einmal pro Woche</translation>
    </message>
    <message>
        <source>Custom calendar</source>
        <translation>Eigener Kalender</translation>
    </message>
    <message numerus="yes">
        <source>every %n hour(s)</source>
        <translation>
            <numerusform>jede Stunde</numerusform>
            <numerusform>alle %n Stunden</numerusform>
        </translation>
    </message>
    <message>
        <source>A systemd calendar expression (see “man systemd.time”)</source>
        <translation>Ein systemd-Kalenderausdruck (siehe „man systemd.time“)</translation>
    </message>
    <message>
        <source>Next: %1</source>
        <translation>Nächste: %1</translation>
    </message>
    <message>
        <source>Run automatically</source>
        <translation>Automatisch ausführen</translation>
    </message>
</context>
<context>
    <name>ScheduleStatus</name>
    <message>
        <source>No systemd user manager is running for this user; daily runs cannot start. Log in to a desktop session or enable lingering: loginctl enable-linger</source>
        <translation>Für diesen Benutzer läuft kein systemd-Benutzerdienst; tägliche Läufe können nicht starten. Melden Sie sich in einer Desktop-Sitzung an oder aktivieren Sie Lingering: loginctl enable-linger</translation>
    </message>
    <message>
        <source>The daily timer is not installed, so no run will start. Turn the schedule off and on again to install it.</source>
        <translation>Der tägliche Timer ist nicht eingerichtet, also startet kein Lauf. Schalten Sie den Zeitplan aus und wieder ein, um ihn einzurichten.</translation>
    </message>
    <message>
        <source>The daily timer has failed. Turn the schedule off and on again, or see systemctl --user status %1</source>
        <translation>Der tägliche Timer ist fehlgeschlagen. Schalten Sie den Zeitplan aus und wieder ein, oder siehe systemctl --user status %1</translation>
    </message>
    <message>
        <source>The daily timer is installed but not running. Turn the schedule off and on again to start it.</source>
        <translation>Der tägliche Timer ist eingerichtet, läuft aber nicht. Schalten Sie den Zeitplan aus und wieder ein, um ihn zu starten.</translation>
    </message>
    <message>
        <source>The systemd user manager did not answer about the daily timer: %1</source>
        <translation>Der systemd-Benutzerdienst hat zum täglichen Timer nicht geantwortet: %1</translation>
    </message>
</context>
<context>
    <name>Scheduler</name>
    <message>
        <source>Could not replace the link %1</source>
        <translation>Der Link %1 konnte nicht ersetzt werden</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Could not delete %1: %2</source>
        <translation>%1 konnte nicht gelöscht werden: %2</translation>
    </message>
    <message>
        <source>Could not create the folder %1: %2</source>
        <translation>Der Ordner %1 konnte nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>a systemd user timer</source>
        <translation>einen systemd-Benutzertimer</translation>
    </message>
</context>
<context>
    <name>SchedulerError</name>
    <message>
        <source>Invalid schedule time &apos;%1&apos;. Use HH:mm (24h).</source>
        <translation>Ungültige Uhrzeit „%1“. Verwenden Sie HH:mm (24 h).</translation>
    </message>
    <message>
        <source>%1 failed (%2): %3</source>
        <translation>%1 fehlgeschlagen (%2): %3</translation>
    </message>
    <message>
        <source>Could not locate the app executable to schedule.</source>
        <translation>Das zu planende Programm wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>The systemd user manager refused: %1</source>
        <translation>Der systemd-Benutzerdienst hat abgelehnt: %1</translation>
    </message>
    <message>
        <source>A custom calendar needs systemd; choose another schedule.</source>
        <translation>Ein eigener Kalender braucht systemd; wählen Sie einen anderen Zeitplan.</translation>
    </message>
    <message>
        <source>Backing up when the drive is connected needs systemd.</source>
        <translation>Sichern beim Anschließen des Laufwerks braucht systemd.</translation>
    </message>
</context>
<context>
    <name>ServerCard</name>
    <message>
        <source>Host</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>Last run</source>
        <translation>Letzter Lauf</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Nächster</translation>
    </message>
    <message>
        <source>Paths</source>
        <translation>Pfade</translation>
    </message>
    <message>
        <source>Run now</source>
        <translation>Jetzt ausführen</translation>
    </message>
    <message>
        <source>Configure</source>
        <translation>Einrichten</translation>
    </message>
    <message>
        <source>The daily schedule does not work</source>
        <translation>Der tägliche Zeitplan funktioniert nicht</translation>
    </message>
    <message>
        <source>never</source>
        <translation>nie</translation>
    </message>
    <message>
        <source>Scheduled daily at %1</source>
        <translation>Geplant täglich um %1</translation>
    </message>
    <message>
        <source>daily %1</source>
        <translation>täglich %1</translation>
    </message>
    <message>
        <source>Copies</source>
        <translation>Kopien</translation>
    </message>
    <message>
        <source>The schedule does not work</source>
        <translation>Der Zeitplan funktioniert nicht</translation>
    </message>
    <message>
        <source>Scheduled %1</source>
        <translation>Geplant: %1</translation>
    </message>
    <message>
        <source>Show backup</source>
        <translation>Sicherung anzeigen</translation>
    </message>
    <message>
        <source>Waiting for a free slot…</source>
        <translation>Wartet auf einen freien Platz …</translation>
    </message>
</context>
<context>
    <name>ServerCheck</name>
    <message>
        <source>Refusing host name “%1”: it begins with “-” and would be read as an ssh option.</source>
        <translation>Hostname „%1“ abgelehnt: Er beginnt mit „-“ und würde als ssh-Option gelesen.</translation>
    </message>
    <message>
        <source>Refusing user name “%1”: it begins with “-” and would be read as an ssh option.</source>
        <translation>Benutzername „%1“ abgelehnt: Er beginnt mit „-“ und würde als ssh-Option gelesen.</translation>
    </message>
    <message>
        <source>Refusing host name “%1”: it contains white space or control characters.</source>
        <translation>Hostname „%1“ abgelehnt: Er enthält Leer- oder Steuerzeichen.</translation>
    </message>
    <message>
        <source>Refusing user name “%1”: it contains white space or control characters.</source>
        <translation>Benutzername „%1“ abgelehnt: Er enthält Leer- oder Steuerzeichen.</translation>
    </message>
    <message>
        <source>Refusing host name “%1”: no host name holds “%2”.</source>
        <translation>Hostname „%1“ abgelehnt: Kein Hostname enthält „%2“.</translation>
    </message>
    <message>
        <source>Refusing user name “%1”: no user name holds “%2”.</source>
        <translation>Benutzername „%1“ abgelehnt: Kein Benutzername enthält „%2“.</translation>
    </message>
    <message>
        <source>Servers “%1” and “%2” would share the backup folder “%3” — give them different names.</source>
        <translation>Die Server „%1“ und „%2“ würden sich den Sicherungsordner „%3“ teilen – geben Sie ihnen verschiedene Namen.</translation>
    </message>
    <message>
        <source>This server has no host — set it in this server&apos;s settings.</source>
        <translation>Dieser Server hat keinen Host – tragen Sie ihn in den Einstellungen des Servers ein.</translation>
    </message>
    <message>
        <source>This server has no user name — set it in this server&apos;s settings.</source>
        <translation>Dieser Server hat keinen Benutzernamen – tragen Sie ihn in den Einstellungen des Servers ein.</translation>
    </message>
    <message>
        <source>The ssh cipher list “%1” may hold only cipher names and commas.</source>
        <translation>Die ssh-Cipher-Liste „%1“ darf nur Cipher-Namen und Kommas enthalten.</translation>
    </message>
    <message>
        <source>The server&apos;s rsync “%1” must be a plain path such as /usr/bin/rsync.</source>
        <translation>Das rsync des Servers „%1“ muss ein einfacher Pfad sein, etwa /usr/bin/rsync.</translation>
    </message>
    <message>
        <source>Path “%1” has no remote path — set it in this server&apos;s settings or turn the path off.</source>
        <translation>Der Pfad „%1“ hat keinen entfernten Pfad – tragen Sie ihn in den Einstellungen des Servers ein oder schalten Sie den Pfad aus.</translation>
    </message>
    <message>
        <source>Paths “%1” and “%2” would both be copied into the folder “%3” — give them different names.</source>
        <translation>Die Pfade „%1“ und „%2“ würden beide in den Ordner „%3“ kopiert – geben Sie ihnen verschiedene Namen.</translation>
    </message>
    <message>
        <source>The port in the configuration file is %1, not a whole number from 1 to 65535: this server is not backed up until it is corrected.</source>
        <translation>Der Port in der Konfigurationsdatei ist %1, keine ganze Zahl von 1 bis 65535: Dieser Server wird nicht gesichert, bis das berichtigt ist.</translation>
    </message>
    <message>
        <source>“Use ssh-agent” in the configuration file is %1, not true or false: this server is not backed up until it is corrected.</source>
        <translation>„ssh-agent verwenden“ ist in der Konfigurationsdatei %1, nicht true oder false: Dieser Server wird nicht gesichert, bis das berichtigt ist.</translation>
    </message>
    <message>
        <source>“%1” in the configuration file is %2, not a text: this server is not backed up until it is corrected.</source>
        <translation>„%1“ ist in der Konfigurationsdatei %2, kein Text: Dieser Server wird nicht gesichert, bis das berichtigt ist.</translation>
    </message>
    <message>
        <source>The known host key “%1” is not one line of known_hosts (host, key type and key, as ssh-keyscan prints them).</source>
        <translation>Der bekannte Host-Schlüssel „%1“ ist keine Zeile von known_hosts (Host, Schlüsseltyp und Schlüssel, wie ssh-keyscan sie ausgibt).</translation>
    </message>
</context>
<context>
    <name>ServerCommand</name>
    <message>
        <source>added %1</source>
        <translation>%1 hinzugefügt</translation>
    </message>
    <message>
        <source>changed %1: %2</source>
        <translation>%1 geändert: %2</translation>
    </message>
    <message>
        <source>%1: nothing to change</source>
        <translation>%1: nichts zu ändern</translation>
    </message>
    <message>
        <source>tidewell: nothing changed: %1</source>
        <translation>tidewell: nichts geändert: %1</translation>
    </message>
    <message>
        <source>tidewell: the configuration could not be saved: %1</source>
        <translation>tidewell: die Konfiguration konnte nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>settings: nothing to change</source>
        <translation>Einstellungen: nichts zu ändern</translation>
    </message>
    <message>
        <source>changed settings: %1</source>
        <translation>Einstellungen geändert: %1</translation>
    </message>
    <message>
        <source>tidewell: %1 has %2 paths named “%3”: name it by its id</source>
        <translation>tidewell: %1 hat %2 Pfade namens „%3“: nennen Sie ihn mit seiner ID</translation>
    </message>
    <message>
        <source>tidewell: %1 has no path “%2”; to add one, give its remotePath=</source>
        <translation>tidewell: %1 hat keinen Pfad „%2“; um einen hinzuzufügen, geben Sie remotePath= an</translation>
    </message>
</context>
<context>
    <name>ServerDetailView</name>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Delete this server</source>
        <translation>Diesen Server löschen</translation>
    </message>
    <message>
        <source>Open backups folder</source>
        <translation>Sicherungsordner öffnen</translation>
    </message>
    <message>
        <source>Open this server&apos;s local backup folder (Ctrl+B)</source>
        <translation>Den lokalen Sicherungsordner dieses Servers öffnen (Strg+B)</translation>
    </message>
    <message>
        <source>Last log</source>
        <translation>Letztes Protokoll</translation>
    </message>
    <message>
        <source>View log of last execution (Ctrl+L)</source>
        <translation>Protokoll des letzten Laufs anzeigen (Strg+L)</translation>
    </message>
    <message>
        <source>Run backup</source>
        <translation>Sichern</translation>
    </message>
    <message>
        <source>Run backup (Ctrl+R)</source>
        <translation>Sichern (Strg+R)</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>This server&apos;s host key is not trusted yet. Compare the fingerprint with what the server&apos;s administrator gave you and choose “Trust this host” before the first connection.</source>
        <translation>Dem Hostschlüssel dieses Servers wird noch nicht vertraut. Vergleichen Sie den Fingerabdruck mit dem der Administration des Servers und wählen Sie vor der ersten Verbindung „Diesem Host vertrauen“.</translation>
    </message>
    <message>
        <source>Replace the stored host key?</source>
        <translation>Gespeicherten Host-Schlüssel ersetzen?</translation>
    </message>
    <message>
        <source>Replace the key you trusted for %1 by the one it presents now?</source>
        <translation>Den Schlüssel, dem Sie für %1 vertraut haben, durch den ersetzen, den der Server jetzt zeigt?</translation>
    </message>
    <message>
        <source>The server presents %1 %2.
You trusted %3 %4.
Replace it only when the server&apos;s administrator has confirmed the new key: otherwise someone may be listening in between.</source>
        <translation>Der Server zeigt %1 %2.
Sie haben %3 %4 vertraut.
Ersetzen Sie ihn nur, wenn der Administrator des Servers den neuen Schlüssel bestätigt hat: Sonst hört vielleicht jemand dazwischen mit.</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
</context>
<context>
    <name>ServerFields</name>
    <message>
        <source>%1 takes a whole number from %2 up, not “%3”</source>
        <translation>%1 nimmt eine ganze Zahl ab %2, nicht „%3“</translation>
    </message>
    <message>
        <source>%1 takes a whole number from %2 to %3, not “%4”</source>
        <translation>%1 nimmt eine ganze Zahl von %2 bis %3, nicht „%4“</translation>
    </message>
    <message>
        <source>scheduleTime takes a time of day as HH:MM, not “%1”</source>
        <translation>scheduleTime nimmt eine Uhrzeit als HH:MM, nicht „%1“</translation>
    </message>
    <message>
        <source>%1 takes a JSON array of texts, not “%2”</source>
        <translation>%1 nimmt ein JSON-Array von Texten, nicht „%2“</translation>
    </message>
    <message>
        <source>“%1” is not KEY=VALUE</source>
        <translation>„%1“ ist nicht SCHLÜSSEL=WERT</translation>
    </message>
    <message>
        <source>%1 takes true or false, not “%2”</source>
        <translation>%1 nimmt true oder false, nicht „%2“</translation>
    </message>
    <message>
        <source>“%1” is not a key that can be set; these can: %2</source>
        <translation>„%1“ ist kein Schlüssel, der sich setzen lässt; diese lassen sich setzen: %2</translation>
    </message>
    <message>
        <source>%1 changed</source>
        <translation>%1 geändert</translation>
    </message>
    <message>
        <source>path “%1” added</source>
        <translation>Pfad „%1“ hinzugefügt</translation>
    </message>
    <message>
        <source>path “%1” removed</source>
        <translation>Pfad „%1“ entfernt</translation>
    </message>
    <message>
        <source>scheduleKind takes daily, hours, weekdays, weekly or custom, not “%1”</source>
        <translation>scheduleKind nimmt daily, hours, weekdays, weekly oder custom, nicht „%1“</translation>
    </message>
    <message>
        <source>scheduleEveryHours takes 1, 2, 3, 4, 6, 8 or 12, not “%1”</source>
        <translation>scheduleEveryHours nimmt 1, 2, 3, 4, 6, 8 oder 12, nicht „%1“</translation>
    </message>
    <message>
        <source>scheduleCalendar takes a systemd calendar expression (letters, digits, blanks and * , . : / ~ + - _), not “%1”</source>
        <translation>scheduleCalendar nimmt einen systemd-Kalenderausdruck (Buchstaben, Ziffern, Leerzeichen und * , . : / ~ + - _), nicht „%1“</translation>
    </message>
    <message>
        <source>snapshotMethod takes auto, hardlinks or btrfs, not “%1”</source>
        <translation>snapshotMethod nimmt auto, hardlinks oder btrfs, nicht „%1“</translation>
    </message>
</context>
<context>
    <name>ServerListModel</name>
    <message>
        <source>running…</source>
        <translation>läuft …</translation>
    </message>
    <message>
        <source>waiting for a free slot…</source>
        <translation>wartet auf einen freien Platz …</translation>
    </message>
</context>
<context>
    <name>ServerReference</name>
    <message>
        <source>tidewell: no server %1 in the configuration</source>
        <translation>tidewell: kein Server %1 in der Konfiguration</translation>
    </message>
    <message>
        <source>tidewell: “%1” names %2 servers: %3; give the one you mean by its id</source>
        <translation>tidewell: „%1“ bezeichnet %2 Server: %3; geben Sie den gemeinten mit seiner ID an</translation>
    </message>
    <message>
        <source>tidewell: no server is named “%1”; similar: %2</source>
        <translation>tidewell: kein Server heißt „%1“; ähnlich: %2</translation>
    </message>
    <message>
        <source>tidewell: no server is named “%1” (tidewell --status lists them)</source>
        <translation>tidewell: kein Server heißt „%1“ (tidewell --status listet sie auf)</translation>
    </message>
</context>
<context>
    <name>ServerRestore</name>
    <message>
        <source>%1 file(s) would be created, %2 would be replaced</source>
        <translation>%1 Datei(en) würden angelegt, %2 ersetzt</translation>
    </message>
    <message>
        <source>The folder %1 is not on the server yet: it will be made.</source>
        <translation>Den Ordner %1 gibt es auf dem Server noch nicht: Er wird angelegt.</translation>
    </message>
</context>
<context>
    <name>ServerRowDelegate</name>
    <message>
        <source>Backing up now</source>
        <translation>Wird gerade gesichert</translation>
    </message>
    <message>
        <source>Run backup (Ctrl+R)</source>
        <translation>Sichern (Strg+R)</translation>
    </message>
    <message>
        <source>Backing up now: click to show the backup</source>
        <translation>Wird gerade gesichert: klicken, um die Sicherung anzuzeigen</translation>
    </message>
</context>
<context>
    <name>ServerRules</name>
    <message>
        <source>(untitled)</source>
        <translation>(ohne Namen)</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopie</translation>
    </message>
    <message>
        <source>%1 (copy)</source>
        <translation>%1 (Kopie)</translation>
    </message>
    <message>
        <source>Overdue · no good backup yet</source>
        <translation>Überfällig · noch keine gute Sicherung</translation>
    </message>
    <message>
        <source>Overdue · last good backup %1</source>
        <translation>Überfällig · letzte gute Sicherung %1</translation>
    </message>
    <message>
        <source>Running now</source>
        <translation>Läuft gerade</translation>
    </message>
    <message>
        <source>Last run failed (exit %1)</source>
        <translation>Letzter Lauf fehlgeschlagen (Exit-Code %1)</translation>
    </message>
    <message>
        <source>Last run cancelled · last good backup %1</source>
        <translation>Letzter Lauf abgebrochen · letzte gute Sicherung %1</translation>
    </message>
    <message>
        <source>Last run cancelled</source>
        <translation>Letzter Lauf abgebrochen</translation>
    </message>
    <message>
        <source>Never ran</source>
        <translation>Noch nie gelaufen</translation>
    </message>
    <message>
        <source>Healthy · %1</source>
        <translation>In Ordnung · %1</translation>
    </message>
    <message>
        <source>Healthy</source>
        <translation>In Ordnung</translation>
    </message>
    <message>
        <source>%1 enabled / %2</source>
        <translation>%1 aktiv / %2</translation>
    </message>
    <message>
        <source>New Server</source>
        <translation>Neuer Server</translation>
    </message>
    <message>
        <source>%1 % of the files changed · old backups kept</source>
        <translation>%1 % der Dateien geändert · alte Sicherungen behalten</translation>
    </message>
    <message numerus="yes">
        <source>%n damaged file(s) in the backups</source>
        <translation>
            <numerusform>%n beschädigte Datei in den Sicherungen</numerusform>
            <numerusform>%n beschädigte Dateien in den Sicherungen</numerusform>
        </translation>
    </message>
    <message>
        <source>every %1 hours from %2</source>
        <translation>alle %1 Stunden ab %2</translation>
    </message>
    <message>
        <source>weekdays at %1</source>
        <translation>werktags um %1</translation>
    </message>
    <message>
        <source>weekly on %1 at %2</source>
        <translation>wöchentlich am %1 um %2</translation>
    </message>
    <message>
        <source>custom: %1</source>
        <translation>eigener Kalender: %1</translation>
    </message>
    <message>
        <source>daily at %1</source>
        <translation>täglich um %1</translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>Tidewell Settings</source>
        <translation>Tidewell-Einstellungen</translation>
    </message>
    <message>
        <source>Local destination</source>
        <translation>Lokales Ziel</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Create date subfolder (YYYY-MM-DD)</source>
        <translation>Unterordner mit Datum anlegen (JJJJ-MM-TT)</translation>
    </message>
    <message>
        <source>Store unchanged files once (hard links to the previous day)</source>
        <translation>Unveränderte Dateien nur einmal speichern (harte Links zum Vortag)</translation>
    </message>
    <message>
        <source>Only back up when this drive is connected</source>
        <translation>Nur sichern, wenn dieses Laufwerk angeschlossen ist</translation>
    </message>
    <message>
        <source>Runs write only into a destination that holds the file %1, which is put there now. A drive that is not connected leaves an empty folder on this computer&apos;s disk; nothing is copied into it.</source>
        <translation>Läufe schreiben nur in ein Ziel, das die Datei %1 enthält; sie wird jetzt dort angelegt. Ein nicht angeschlossenes Laufwerk hinterlässt einen leeren Ordner auf der Festplatte dieses Rechners; dorthin wird nichts kopiert.</translation>
    </message>
    <message>
        <source>rsync options</source>
        <translation>rsync-Optionen</translation>
    </message>
    <message>
        <source>Compress during transfer (-z)</source>
        <translation>Bei der Übertragung komprimieren (-z)</translation>
    </message>
    <message>
        <source>Delete local files no longer on server (--delete)</source>
        <translation>Lokale Dateien löschen, die nicht mehr auf dem Server sind (--delete)</translation>
    </message>
    <message>
        <source>Tip: --delete makes the local copy a mirror. Leave off if you want to preserve old files locally (e.g. historical DB snapshots).</source>
        <translation>Tipp: --delete macht die lokale Kopie zu einem Spiegel. Lassen Sie es aus, wenn alte Dateien lokal erhalten bleiben sollen (z. B. ältere DB-Schnappschüsse).</translation>
    </message>
    <message>
        <source>Reliability</source>
        <translation>Zuverlässigkeit</translation>
    </message>
    <message>
        <source>disabled</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>never</source>
        <translation>nie</translation>
    </message>
    <message>
        <source>Retry attempts on transient errors</source>
        <translation>Wiederholungen bei vorübergehenden Fehlern</translation>
    </message>
    <message>
        <source>Minimum free space (GB)</source>
        <translation>Mindestens freier Platz (GB)</translation>
    </message>
    <message>
        <source>Stop a transfer after N seconds without data</source>
        <translation>Übertragung nach N Sekunden ohne Daten abbrechen</translation>
    </message>
    <message>
        <source>Scheduled and window runs together; the others wait for a free slot</source>
        <translation>Geplante und im Fenster gestartete Läufe zusammen; die übrigen warten auf einen freien Platz</translation>
    </message>
    <message>
        <source>Backups running at once</source>
        <translation>Gleichzeitige Sicherungen</translation>
    </message>
    <message>
        <source>Backups retry automatically on transient rsync errors (network drops, partial transfers, interrupted signals) with exponential backoff. Free space is checked at the destination volume before each run; 0 disables the check.</source>
        <translation>Sicherungen werden bei vorübergehenden rsync-Fehlern (Netzabbrüche, unvollständige Übertragungen, unterbrechende Signale) mit wachsenden Pausen automatisch wiederholt. Vor jedem Lauf wird der freie Platz am Ziel geprüft; 0 schaltet die Prüfung aus.</translation>
    </message>
    <message>
        <source>Scheduled runs and the network</source>
        <translation>Geplante Läufe und das Netz</translation>
    </message>
    <message>
        <source>don&apos;t wait</source>
        <translation>nicht warten</translation>
    </message>
    <message>
        <source>Don&apos;t run scheduled backups on metered connections (phone hotspots)</source>
        <translation>Geplante Sicherungen nicht über getaktete Verbindungen (Handy-Hotspots)</translation>
    </message>
    <message>
        <source>Wait for the network up to</source>
        <translation>Auf das Netz höchstens warten</translation>
    </message>
    <message>
        <source>on time</source>
        <translation>pünktlich</translation>
    </message>
    <message>
        <source>Each scheduled run starts at a random moment within this many minutes after its time</source>
        <translation>Jeder geplante Lauf beginnt zu einem zufälligen Zeitpunkt innerhalb so vieler Minuten nach seiner Uhrzeit</translation>
    </message>
    <message>
        <source>Spread scheduled runs over</source>
        <translation>Geplante Läufe verteilen über</translation>
    </message>
    <message>
        <source>A scheduled run first asks NetworkManager: while the network is down it waits, then goes on anyway; on a metered connection it is skipped and tried again the next day. Runs you start yourself are never held or skipped.</source>
        <translation>Ein geplanter Lauf fragt zuerst NetworkManager: Ist das Netz weg, wartet er und macht dann trotzdem weiter; bei einer getakteten Verbindung wird er übersprungen und am nächsten Tag erneut versucht. Selbst gestartete Läufe werden nie aufgehalten oder übersprungen.</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>Benachrichtigungen</translation>
    </message>
    <message>
        <source>Show a notification when a backup finishes</source>
        <translation>Eine Benachrichtigung zeigen, wenn eine Sicherung endet</translation>
    </message>
    <message>
        <source>Uses your desktop&apos;s notification service (org.freedesktop.Notifications). You may need to allow notifications for Tidewell in your desktop&apos;s notification settings.</source>
        <translation>Verwendet den Benachrichtigungsdienst Ihres Desktops (org.freedesktop.Notifications). Eventuell müssen Sie Benachrichtigungen für Tidewell in den Einstellungen Ihres Desktops erlauben.</translation>
    </message>
    <message>
        <source>Reports beyond the desktop</source>
        <translation>Berichte über den Desktop hinaus</translation>
    </message>
    <message>
        <source>Every run (not only failures)</source>
        <translation>Jeder Lauf (nicht nur Fehler)</translation>
    </message>
    <message>
        <source>Health-check URL</source>
        <translation>Health-Check-URL</translation>
    </message>
    <message>
        <source>Webhook URL</source>
        <translation>Webhook-URL</translation>
    </message>
    <message>
        <source>E-mail to</source>
        <translation>E-Mail an</translation>
    </message>
    <message>
        <source>The health-check URL gets /start when a run starts, then itself after a success or /&lt;exit code&gt; after a failure, with the end of the log (a server&apos;s own URL, in its editor, replaces it). The webhook gets a JSON document for every run. Mail goes through this computer&apos;s sendmail. Only https, or http to this computer; the addresses are left out of exports unless you ask.</source>
        <translation>Die Health-Check-URL wird beim Start eines Laufs mit /start aufgerufen, nach Erfolg ohne Zusatz, nach einem Fehler mit /&lt;Exit-Code&gt;, jeweils mit dem Ende des Protokolls (die eigene URL eines Servers in seinem Editor ersetzt sie). Der Webhook erhält für jeden Lauf ein JSON-Dokument. E-Mails gehen über sendmail dieses Rechners. Nur https, oder http zu diesem Rechner; die Adressen fehlen in Exporten, sofern Sie es nicht wünschen.</translation>
    </message>
    <message>
        <source>Import / Export</source>
        <translation>Import / Export</translation>
    </message>
    <message>
        <source>Export configuration…</source>
        <translation>Konfiguration exportieren …</translation>
    </message>
    <message>
        <source>Import configuration…</source>
        <translation>Konfiguration importieren …</translation>
    </message>
    <message>
        <source>Include report addresses</source>
        <translation>Berichtsadressen mitnehmen</translation>
    </message>
    <message>
        <source>Health-check and webhook URLs may hold secret tokens: leave this off to share the export.</source>
        <translation>Health-Check- und Webhook-URLs können geheime Token enthalten: Lassen Sie dies aus, wenn Sie den Export weitergeben.</translation>
    </message>
    <message>
        <source>Details…</source>
        <translation>Details …</translation>
    </message>
    <message>
        <source>Schedules not installed</source>
        <translation>Nicht eingerichtete Zeitpläne</translation>
    </message>
    <message>
        <source>Exports every server (including schedules and retention) as JSON. Importing replaces your current configuration — export a backup first if you want to keep it.</source>
        <translation>Exportiert alle Server (mit Zeitplänen und Aufbewahrung) als JSON. Ein Import ersetzt Ihre jetzige Konfiguration – exportieren Sie sie vorher, wenn Sie sie behalten möchten.</translation>
    </message>
    <message>
        <source>Config file</source>
        <translation>Konfigurationsdatei</translation>
    </message>
    <message>
        <source>Reveal</source>
        <translation>Anzeigen</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>No mail is sent: %1 is missing (install a mail transfer agent such as postfix or dma).</source>
        <translation>Es wird keine E-Mail verschickt: %1 fehlt (installieren Sie einen Mailserver wie postfix oder dma).</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Wählen</translation>
    </message>
    <message>
        <source>Export Tidewell configuration</source>
        <translation>Tidewell-Konfiguration exportieren</translation>
    </message>
    <message>
        <source>Save all servers and settings as JSON.</source>
        <translation>Alle Server und Einstellungen als JSON speichern.</translation>
    </message>
    <message>
        <source>JSON (*.json)</source>
        <translation>JSON (*.json)</translation>
    </message>
    <message>
        <source>Import Tidewell configuration</source>
        <translation>Tidewell-Konfiguration importieren</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Importing…</source>
        <translation>Wird importiert …</translation>
    </message>
    <message>
        <source>Installing schedules: %1 of %2…</source>
        <translation>Zeitpläne werden eingerichtet: %1 von %2 …</translation>
    </message>
    <message>
        <source>A run that finds more of the previous day&apos;s files changed or gone (ransomware, a missing mount) keeps every old backup until you confirm the change</source>
        <translation>Ein Lauf, der mehr Dateien des Vortags geändert oder verschwunden findet (Ransomware, ein fehlender Mount), behält jede alte Sicherung, bis Sie die Änderung bestätigen</translation>
    </message>
    <message>
        <source>Keep old backups when more files change than</source>
        <translation>Alte Sicherungen behalten, wenn sich mehr ändert als</translation>
    </message>
    <message>
        <source>After each scheduled backup, this share of the server&apos;s copies is read and compared with its fingerprints: 1/30 reads every copy once a month</source>
        <translation>Nach jeder geplanten Sicherung wird dieser Teil der Kopien des Servers gelesen und mit ihren Fingerabdrücken verglichen: 1/30 liest jede Kopie einmal im Monat</translation>
    </message>
    <message>
        <source>Check a part of every backup each day</source>
        <translation>Jeden Tag einen Teil jeder Sicherung prüfen</translation>
    </message>
    <message>
        <source>Second copies</source>
        <translation>Zweite Kopien</translation>
    </message>
    <message>
        <source>On battery, skip scheduled runs below</source>
        <translation>Im Akkubetrieb geplante Läufe auslassen unter</translation>
    </message>
    <message>
        <source>Wait for mains power up to</source>
        <translation>Auf Netzstrom höchstens warten</translation>
    </message>
    <message>
        <source>On a low battery a scheduled run waits for mains power, then is skipped; the next run catches up. While any backup runs, the computer does not go to sleep by itself (closing a laptop&apos;s lid still suspends it).</source>
        <translation>Bei schwachem Akku wartet ein geplanter Lauf auf Netzstrom und wird dann ausgelassen; der nächste Lauf holt ihn nach. Solange eine Sicherung läuft, geht der Computer nicht von selbst in den Ruhezustand (das Zuklappen eines Laptops versetzt ihn weiterhin in den Ruhezustand).</translation>
    </message>
    <message>
        <source>Also back up when this drive is connected</source>
        <translation>Auch sichern, wenn dieses Laufwerk angeschlossen wird</translation>
    </message>
    <message>
        <source>When the drive is mounted, systemd starts the scheduled backups that have no good backup for their period (no udev rule, nothing runs as root)</source>
        <translation>Wird das Laufwerk eingehängt, startet systemd die geplanten Sicherungen, die für ihren Zeitraum keine gute Sicherung haben (keine udev-Regel, nichts läuft als root)</translation>
    </message>
    <message>
        <source>%1 is not on a drive of its own; connect the drive first.</source>
        <translation>%1 liegt auf keinem eigenen Laufwerk; schließen Sie zuerst das Laufwerk an.</translation>
    </message>
    <message>
        <source>Encrypted (gocryptfs): the copies are seen in the clear only while a run, check or restore works in them. Passphrase: %1</source>
        <translation>Verschlüsselt (gocryptfs): die Kopien sind nur lesbar, solange eine Sicherung, Prüfung oder Wiederherstellung in ihnen arbeitet. Passphrase: %1</translation>
    </message>
    <message>
        <source>not set</source>
        <translation>nicht festgelegt</translation>
    </message>
    <message>
        <source>Encrypt backups in this folder…</source>
        <translation>Sicherungen in diesem Ordner verschlüsseln…</translation>
    </message>
</context>
<context>
    <name>SnapshotTreeModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Geändert</translation>
    </message>
    <message>
        <source>%1 (no path of this server writes here now)</source>
        <translation>%1 (kein Pfad dieses Servers schreibt jetzt hierher)</translation>
    </message>
</context>
<context>
    <name>StatusReport</name>
    <message>
        <source>No servers configured.</source>
        <translation>Keine Server eingerichtet.</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>in Ordnung</translation>
    </message>
    <message>
        <source>pending</source>
        <translation>ausstehend</translation>
    </message>
    <message>
        <source>failing</source>
        <translation>fehlerhaft</translation>
    </message>
    <message>
        <source>overdue</source>
        <translation>überfällig</translation>
    </message>
    <message>
        <source>never run</source>
        <translation>nie gelaufen</translation>
    </message>
    <message>
        <source>not scheduled</source>
        <translation>nicht geplant</translation>
    </message>
    <message>
        <source>never</source>
        <translation>nie</translation>
    </message>
    <message>
        <source>%1 (exit %2)</source>
        <translation>%1 (Exit-Code %2)</translation>
    </message>
    <message>
        <source>%1 (cancelled)</source>
        <translation>%1 (abgebrochen)</translation>
    </message>
    <message>
        <source>%1: %2; last run %3; last success %4; next run %5</source>
        <translation>%1: %2; letzter Lauf %3; letzter Erfolg %4; nächster Lauf %5</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keiner</translation>
    </message>
    <message>
        <source>not installed</source>
        <translation>nicht installiert</translation>
    </message>
    <message>
        <source>schedule cannot run</source>
        <translation>Zeitplan kann nicht laufen</translation>
    </message>
    <message>
        <source>mass change</source>
        <translation>Massenänderung</translation>
    </message>
    <message>
        <source>damaged</source>
        <translation>beschädigt</translation>
    </message>
    <message numerus="yes">
        <source>backups checked %1: %n damaged file(s)</source>
        <translation>
            <numerusform>Sicherungen geprüft %1: %n beschädigte Datei</numerusform>
            <numerusform>Sicherungen geprüft %1: %n beschädigte Dateien</numerusform>
        </translation>
    </message>
    <message>
        <source>not copied to %1 yet</source>
        <translation>noch nicht nach %1 kopiert</translation>
    </message>
    <message>
        <source>copied to %1: up to %2</source>
        <translation>nach %1 kopiert: bis %2</translation>
    </message>
    <message numerus="yes">
        <source>%n day(s) behind</source>
        <translation>
            <numerusform>%n Tag im Rückstand</numerusform>
            <numerusform>%n Tage im Rückstand</numerusform>
        </translation>
    </message>
    <message>
        <source>last copy to %1: %2</source>
        <translation>letzte Kopie nach %1: %2</translation>
    </message>
</context>
<context>
    <name>SudoCheck</name>
    <message>
        <source>Could not ask the server about sudo: %1</source>
        <translation>Der Server konnte nicht nach sudo gefragt werden: %1</translation>
    </message>
    <message>
        <source>sudo runs %1 on the server without a password.</source>
        <translation>sudo führt %1 auf dem Server ohne Passwort aus.</translation>
    </message>
    <message>
        <source>The server has no sudo: install it, or turn off “Run with sudo on the server”.</source>
        <translation>Der Server hat kein sudo: Installieren Sie es, oder schalten Sie „Auf dem Server mit sudo ausführen“ aus.</translation>
    </message>
    <message>
        <source>sudo on the server would not run rsync without a password. Add this line on the server with “visudo -f /etc/sudoers.d/tidewell”:</source>
        <translation>sudo auf dem Server würde rsync nicht ohne Passwort ausführen. Fügen Sie auf dem Server mit „visudo -f /etc/sudoers.d/tidewell“ diese Zeile hinzu:</translation>
    </message>
    <message>
        <source>sudo on the server would not run rsync without a password (%1). Add this line on the server with “visudo -f /etc/sudoers.d/tidewell”:</source>
        <translation>sudo auf dem Server würde rsync nicht ohne Passwort ausführen (%1). Fügen Sie auf dem Server mit „visudo -f /etc/sudoers.d/tidewell“ diese Zeile hinzu:</translation>
    </message>
</context>
<context>
    <name>TidewellApp</name>
    <message numerus="yes">
        <source>%n daily schedule(s) now start within %1 minutes of their time.</source>
        <translation>
            <numerusform>%n täglicher Zeitplan beginnt jetzt innerhalb von %1 Minuten nach seiner Uhrzeit.</numerusform>
            <numerusform>%n tägliche Zeitpläne beginnen jetzt innerhalb von %1 Minuten nach ihrer Uhrzeit.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n daily schedule(s) now start on time.</source>
        <translation>
            <numerusform>%n täglicher Zeitplan beginnt jetzt pünktlich.</numerusform>
            <numerusform>%n tägliche Zeitpläne beginnen jetzt pünktlich.</numerusform>
        </translation>
    </message>
    <message>
        <source>Quit Tidewell</source>
        <translation>Tidewell beenden</translation>
    </message>
    <message>
        <source>The backup stops, its log is written and its result recorded before Tidewell quits.</source>
        <translation>Die Sicherung hält an, ihr Protokoll wird geschrieben und ihr Ergebnis festgehalten, bevor Tidewell endet.</translation>
    </message>
    <message>
        <source>Cancel Backup and Quit</source>
        <translation>Sicherung abbrechen und beenden</translation>
    </message>
    <message numerus="yes">
        <source>Updated %n daily schedule(s) to start %1.</source>
        <translation>
            <numerusform>%n täglicher Zeitplan startet jetzt %1.</numerusform>
            <numerusform>%n tägliche Zeitpläne starten jetzt %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Could not update %1 schedule(s): %2 (and %n more)</source>
        <translation>
            <numerusform>%1 Zeitpläne konnten nicht aktualisiert werden: %2 (und %n weiterer)</numerusform>
            <numerusform>%1 Zeitpläne konnten nicht aktualisiert werden: %2 (und %n weitere)</numerusform>
        </translation>
    </message>
    <message>
        <source>Could not update %1 schedule(s): %2</source>
        <translation>%1 Zeitplan konnte nicht aktualisiert werden: %2</translation>
    </message>
    <message>
        <source>A backup of “%1” is running. Cancel it and quit?</source>
        <translation>Eine Sicherung von „%1“ läuft. Abbrechen und beenden?</translation>
    </message>
    <message>
        <source>Tidewell quits when the backup of %1 has finished.</source>
        <translation>Tidewell wird beendet, sobald die Sicherung von %1 abgeschlossen ist.</translation>
    </message>
    <message>
        <source>“%1”</source>
        <comment>a server&apos;s name quoted in a sentence</comment>
        <translation>„%1“</translation>
    </message>
    <message numerus="yes">
        <source>%n backups are running. Cancel them and quit?</source>
        <translation>
            <numerusform>%n Sicherung läuft. Abbrechen und beenden?</numerusform>
            <numerusform>%n Sicherungen laufen. Alle abbrechen und beenden?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n backups are running: %1. Cancel them and quit?</source>
        <translation>
            <numerusform>%n Sicherung läuft: %1. Abbrechen und beenden?</numerusform>
            <numerusform>%n Sicherungen laufen: %1. Alle abbrechen und beenden?</numerusform>
        </translation>
    </message>
    <message>
        <source>The backups stop, their logs are written and their results recorded before Tidewell quits.</source>
        <translation>Die Sicherungen halten an, ihre Protokolle werden geschrieben und ihre Ergebnisse festgehalten, bevor Tidewell endet.</translation>
    </message>
    <message>
        <source>Cancel Backups and Quit</source>
        <translation>Sicherungen abbrechen und beenden</translation>
    </message>
    <message numerus="yes">
        <source>Tidewell quits when %n backups have finished.</source>
        <translation>
            <numerusform>Tidewell wird beendet, sobald %n Sicherung abgeschlossen ist.</numerusform>
            <numerusform>Tidewell wird beendet, sobald %n Sicherungen abgeschlossen sind.</numerusform>
        </translation>
    </message>
    <message>
        <source>Tidewell quits when the backups of %1 have finished.</source>
        <translation>Tidewell wird beendet, sobald die Sicherungen von %1 abgeschlossen sind.</translation>
    </message>
</context>
<context>
    <name>VersionsDialog</name>
    <message>
        <source>Versions of %1</source>
        <translation>Versionen von %1</translation>
    </message>
    <message>
        <source>Backed up</source>
        <translation>Gesichert</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Geändert</translation>
    </message>
    <message>
        <source>Backups</source>
        <translation>Sicherungen</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 bis %2</translation>
    </message>
    <message>
        <source>folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Backups that hold the same file (or one of the same size and time) hold one version. Incomplete backups are not listed.</source>
        <translation>Sicherungen mit derselben Datei (oder einer gleicher Größe und Zeit) enthalten eine Version. Unvollständige Sicherungen werden nicht aufgeführt.</translation>
    </message>
    <message>
        <source>Restore to this computer…</source>
        <translation>Auf diesen Rechner wiederherstellen …</translation>
    </message>
    <message>
        <source>Restore to the server…</source>
        <translation>Auf den Server wiederherstellen …</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Versions</source>
        <translation>Versionen</translation>
    </message>
    <message>
        <source>Show changes…</source>
        <translation>Änderungen anzeigen …</translation>
    </message>
    <message>
        <source>What changed in this version since the one before it</source>
        <translation>Was sich in dieser Version seit der vorigen geändert hat</translation>
    </message>
    <message>
        <source>Backups that hold the same file (or one of the same size, time and content fingerprint) hold one version. Incomplete backups are not listed.</source>
        <translation>Sicherungen mit derselben Datei (oder einer gleicher Größe, Zeit und gleichen Inhaltsfingerabdrucks) enthalten eine Version. Unvollständige Sicherungen werden nicht aufgeführt.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>tidewell: no display: use --run-backup, --status or --help on a machine without a desktop.
</source>
        <translation>tidewell: keine grafische Anzeige: Verwenden Sie auf einem Rechner ohne Desktop --run-backup, --status oder --help.
</translation>
    </message>
</context>
</TS>
