<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>AdvancedSection</name>
    <message>
        <source>Advanced</source>
        <translation>Avancé</translation>
    </message>
    <message>
        <source>What the copies keep besides contents, times and permissions:</source>
        <translation>Ce que les copies conservent en plus du contenu, des dates et des droits&#xa0;:</translation>
    </message>
    <message>
        <source>Hard links (-H)</source>
        <translation>Liens physiques (-H)</translation>
    </message>
    <message>
        <source>ACLs (-A)</source>
        <translation>ACL (-A)</translation>
    </message>
    <message>
        <source>Extended attributes (-X)</source>
        <translation>Attributs étendus (-X)</translation>
    </message>
    <message>
        <source>Owners by number, not by name (--numeric-ids)</source>
        <translation>Propriétaires par numéro (--numeric-ids)</translation>
    </message>
    <message>
        <source>Sparse files stay sparse (--sparse)</source>
        <translation>Les fichiers creux restent creux (--sparse)</translation>
    </message>
    <message>
        <source>Server&apos;s rsync</source>
        <translation>rsync du serveur</translation>
    </message>
    <message>
        <source>Run with sudo on the server</source>
        <translation>Exécuter avec sudo sur le serveur</translation>
    </message>
    <message>
        <source>rsync runs as root there (sudo -n: it never asks for a password), so root-only files are copied and a restore can set owners</source>
        <translation>rsync y tourne en root (sudo -n&#xa0;: il ne demande jamais de mot de passe)&#xa0;: les fichiers réservés à root sont copiés et une restauration peut rétablir les propriétaires</translation>
    </message>
    <message>
        <source>Check sudo</source>
        <translation>Vérifier sudo</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Vérification…</translation>
    </message>
    <message>
        <source>The backup folder&apos;s file system does not store extended attributes (%1): owners, groups and extended attributes are not kept.</source>
        <translation>Le système de fichiers du dossier de sauvegarde ne stocke pas d’attributs étendus (%1)&#xa0;: propriétaires, groupes et attributs étendus ne sont pas conservés.</translation>
    </message>
    <message>
        <source>Asking the server…</source>
        <translation>Interrogation du serveur…</translation>
    </message>
    <message>
        <source>Last run: %1</source>
        <translation>Dernière exécution&#xa0;: %1</translation>
    </message>
    <message>
        <source>Owners and groups</source>
        <translation>Propriétaires et groupes</translation>
    </message>
    <message>
        <source>Kept in extended attributes of the copies when Tidewell is not root.</source>
        <translation>Conservés dans des attributs étendus des copies quand Tidewell n’est pas root.</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>Automatique</translation>
    </message>
    <message>
        <source>Hard links</source>
        <translation>Liens physiques</translation>
    </message>
    <message>
        <source>btrfs subvolumes</source>
        <translation>Sous-volumes btrfs</translation>
    </message>
    <message>
        <source>Automatic: btrfs subvolumes where the backup folder allows them, hard links elsewhere. On btrfs a day is a snapshot of the day before, and rsync rewrites only what changed: an unchanged day and an edit inside a large file cost almost nothing.</source>
        <translation>Automatique&#xa0;: sous-volumes btrfs là où le dossier de sauvegarde les permet, liens physiques ailleurs. Sur btrfs, un jour est un instantané de la veille, et rsync ne réécrit que ce qui a changé&#xa0;: un jour sans changement et une modification dans un gros fichier ne coûtent presque rien.</translation>
    </message>
    <message>
        <source>Snapshots</source>
        <translation>Instantanés</translation>
    </message>
    <message>
        <source>In use: btrfs subvolumes (the last backup made its day as one).</source>
        <translation>En usage&#xa0;: sous-volumes btrfs (la dernière sauvegarde a créé son jour ainsi).</translation>
    </message>
    <message>
        <source>In use: hard links (the last backup linked its day&apos;s unchanged files).</source>
        <translation>En usage&#xa0;: liens physiques (la dernière sauvegarde a lié les fichiers inchangés de son jour).</translation>
    </message>
    <message>
        <source>The backup folder is on btrfs: the next day becomes a btrfs subvolume.</source>
        <translation>Le dossier de sauvegarde est sur btrfs&#xa0;: le prochain jour sera un sous-volume btrfs.</translation>
    </message>
    <message>
        <source>The backup folder is not on btrfs: days are made with hard links.</source>
        <translation>Le dossier de sauvegarde n’est pas sur btrfs&#xa0;: les jours sont faits de liens physiques.</translation>
    </message>
    <message>
        <source>In use: hard links.</source>
        <translation>En usage&#xa0;: liens physiques.</translation>
    </message>
    <message>
        <source>The backups are encrypted: days are made with hard links.</source>
        <translation>Les sauvegardes sont chiffrées&#xa0;: les jours sont créés avec des liens physiques.</translation>
    </message>
</context>
<context>
    <name>BackupRunView</name>
    <message>
        <source>Backup</source>
        <translation>Sauvegarde</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restaurer</translation>
    </message>
    <message>
        <source>Reveal destination</source>
        <translation>Afficher la destination</translation>
    </message>
    <message>
        <source>Copy log</source>
        <translation>Copier le journal</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Preparing…</source>
        <translation>Préparation…</translation>
    </message>
    <message>
        <source>Backup not started</source>
        <translation>Sauvegarde non démarrée</translation>
    </message>
    <message>
        <source>Restore not started</source>
        <translation>Restauration non démarrée</translation>
    </message>
    <message>
        <source>Backup cancelled</source>
        <translation>Sauvegarde annulée</translation>
    </message>
    <message>
        <source>Restore cancelled</source>
        <translation>Restauration annulée</translation>
    </message>
    <message>
        <source>Backup completed, but %1</source>
        <translation>Sauvegarde terminée, mais %1</translation>
    </message>
    <message>
        <source>Backup completed</source>
        <translation>Sauvegarde terminée</translation>
    </message>
    <message>
        <source>Restore completed</source>
        <translation>Restauration terminée</translation>
    </message>
    <message>
        <source>Backup failed (exit %1)</source>
        <translation>Échec de la sauvegarde (code %1)</translation>
    </message>
    <message>
        <source>Restore failed (exit %1)</source>
        <translation>Échec de la restauration (code %1)</translation>
    </message>
    <message>
        <source>Running: %1</source>
        <translation>En cours&#xa0;: %1</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Suspendre</translation>
    </message>
    <message>
        <source>Stop now, keeping what was copied: Resume (or the next run) goes on from there.</source>
        <translation>Arrêter maintenant en gardant ce qui est copié : « Reprendre » (ou le prochain passage) continue à partir de là.</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Reprendre</translation>
    </message>
    <message>
        <source>Backup paused</source>
        <translation>Sauvegarde suspendue</translation>
    </message>
    <message>
        <source>Backup of %1</source>
        <translation>Sauvegarde de %1</translation>
    </message>
    <message>
        <source>Waiting for a free slot…</source>
        <translation>En attente d’une place libre…</translation>
    </message>
    <message>
        <source>The backup goes on: show it again from its server or the tray.</source>
        <translation>La sauvegarde continue&#xa0;: affichez-la de nouveau depuis son serveur ou la zone de notification.</translation>
    </message>
</context>
<context>
    <name>BackupsSection</name>
    <message>
        <source>Backups</source>
        <translation>Sauvegardes</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>State</source>
        <translation>État</translation>
    </message>
    <message>
        <source>No backups yet.</source>
        <translation>Aucune sauvegarde pour l’instant.</translation>
    </message>
    <message>
        <source>complete</source>
        <translation>complète</translation>
    </message>
    <message>
        <source>incomplete</source>
        <translation>incomplète</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Browse…</source>
        <translation>Parcourir…</translation>
    </message>
    <message>
        <source>Show this backup in the file manager</source>
        <translation>Afficher cette sauvegarde dans le gestionnaire de fichiers</translation>
    </message>
    <message>
        <source>Find files in this backup and restore them</source>
        <translation>Chercher des fichiers dans cette sauvegarde et les restaurer</translation>
    </message>
    <message>
        <source>Opening the encrypted folder…</source>
        <translation>Ouverture du dossier chiffré…</translation>
    </message>
    <message>
        <source>The encrypted folder cannot be opened: %1</source>
        <translation>Le dossier chiffré ne peut pas être ouvert&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>ChangeCommand</name>
    <message>
        <source>tidewell: the configuration could not be read: %1</source>
        <translation>tidewell : la configuration n’a pas pu être lue : %1</translation>
    </message>
    <message>
        <source>tidewell: the old backups of “%1” stay held: %2</source>
        <translation>tidewell : les anciennes sauvegardes de « %1 » restent gardées : %2</translation>
    </message>
    <message>
        <source>Old backups of “%1” are pruned again from its next run.</source>
        <translation>Les anciennes sauvegardes de « %1 » sont de nouveau élaguées dès sa prochaine exécution.</translation>
    </message>
    <message>
        <source>No change of “%1” is held.</source>
        <translation>Aucun changement de « %1 » n’est retenu.</translation>
    </message>
</context>
<context>
    <name>ChangeHold</name>
    <message>
        <source>%1 % of the files changed since %2 (%3 of %4): old backups are kept until you confirm this change.</source>
        <translation>%1 % des fichiers ont changé depuis le %2 (%3 sur %4) : les anciennes sauvegardes sont gardées jusqu’à ce que vous confirmiez ce changement.</translation>
    </message>
</context>
<context>
    <name>CommandsSection</name>
    <message>
        <source>Commands on this computer</source>
        <translation>Commandes sur cet ordinateur</translation>
    </message>
    <message>
        <source>Before the run</source>
        <translation>Avant l’exécution</translation>
    </message>
    <message>
        <source>After a successful run</source>
        <translation>Après une exécution réussie</translation>
    </message>
    <message>
        <source>After a failed run</source>
        <translation>Après une exécution en échec</translation>
    </message>
    <message>
        <source>Stop a command after</source>
        <translation>Arrêter une commande après</translation>
    </message>
    <message>
        <source>Each is a program&apos;s absolute path and its arguments, run without a shell (quote an argument with spaces as &quot;…&quot;). It gets TIDEWELL_SERVER_ID, TIDEWELL_SERVER_NAME, TIDEWELL_SNAPSHOT and, after the run, TIDEWELL_EXIT_CODE; its output goes into the run&apos;s log. When the command before the run fails, the run ends with its exit code and nothing is copied.</source>
        <translation>Chacune est le chemin absolu d’un programme suivi de ses arguments, lancé sans shell (mettez un argument contenant des espaces entre &quot;…&quot;). Elle reçoit TIDEWELL_SERVER_ID, TIDEWELL_SERVER_NAME, TIDEWELL_SNAPSHOT et, après l’exécution, TIDEWELL_EXIT_CODE ; sa sortie va dans le journal de l’exécution. Si la commande d’avant échoue, l’exécution s’arrête avec son code de sortie et rien n’est copié.</translation>
    </message>
    <message>
        <source>e.g. /usr/local/bin/mount-backup-drive --quiet</source>
        <translation>p. ex. /usr/local/bin/mount-backup-drive --quiet</translation>
    </message>
</context>
<context>
    <name>CompareDialog</name>
    <message>
        <source>Compare two backups</source>
        <translation>Comparer deux sauvegardes</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Comparer</translation>
    </message>
    <message>
        <source>From</source>
        <translation>De</translation>
    </message>
    <message>
        <source>to</source>
        <translation>à</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Modification</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>Comparing…</source>
        <translation>Comparaison…</translation>
    </message>
    <message>
        <source>added</source>
        <translation>ajouté</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>supprimé</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>modifié</translation>
    </message>
    <message>
        <source>%1: %2 added, %3 removed, %4 changed</source>
        <translation>%1&#xa0;: %2 ajoutés, %3 supprimés, %4 modifiés</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) compared.</source>
        <translation>
            <numerusform>%n fichier comparé.</numerusform>
            <numerusform>%n fichiers comparés.</numerusform>
        </translation>
    </message>
    <message>
        <source>Stopped. So far: %1</source>
        <translation>Arrêté. Jusqu’ici&#xa0;: %1</translation>
    </message>
    <message>
        <source>Changes between the two backups</source>
        <translation>Modifications entre les deux sauvegardes</translation>
    </message>
    <message>
        <source>Show changes…</source>
        <translation>Afficher les modifications…</translation>
    </message>
    <message>
        <source>Restore to this computer…</source>
        <translation>Restaurer sur cet ordinateur…</translation>
    </message>
    <message>
        <source>Restore to the server…</source>
        <translation>Restaurer sur le serveur…</translation>
    </message>
    <message>
        <source>Copies that are not one hard-linked file were compared by size, modification time and content fingerprint.</source>
        <translation>Les copies qui ne sont pas un même fichier lié ont été comparées par taille, date de modification et empreinte du contenu.</translation>
    </message>
    <message>
        <source>Copies that are not one hard-linked file were compared by size and modification time.</source>
        <translation>Les copies qui ne sont pas un même fichier lié ont été comparées par taille et date de modification.</translation>
    </message>
</context>
<context>
    <name>ConfigCommand</name>
    <message>
        <source>tidewell: the configuration could not be read: %1</source>
        <translation>tidewell : la configuration n’a pas pu être lue : %1</translation>
    </message>
    <message>
        <source>replaced %1</source>
        <translation>remplacé : %1</translation>
    </message>
    <message>
        <source>added %1</source>
        <translation>ajouté : %1</translation>
    </message>
    <message>
        <source>removed %1</source>
        <translation>retiré : %1</translation>
    </message>
    <message>
        <source>tidewell: nothing imported: add --replace to replace the configuration with the file&apos;s</source>
        <translation>tidewell : rien d’importé : avec --replace, le fichier remplace la configuration</translation>
    </message>
    <message>
        <source>removed %1; its backups stay in %2</source>
        <translation>retiré : %1 ; ses sauvegardes restent dans %2</translation>
    </message>
    <message>
        <source>tidewell: the schedule of %1 could not be removed: %2</source>
        <translation>tidewell : la planification de %1 n’a pas pu être retirée : %2</translation>
    </message>
    <message>
        <source>schedule removed for %1</source>
        <translation>planification retirée : %1</translation>
    </message>
</context>
<context>
    <name>ConfigTransfer</name>
    <message numerus="yes">
        <source>“%1” contains %n server(s). This will replace your current configuration. Scheduled backups will be re-synced to match.</source>
        <translation>
            <numerusform>«&#xa0;%1&#xa0;» contient %n serveur. Cela remplacera votre configuration actuelle. Les sauvegardes planifiées seront réalignées en conséquence.</numerusform>
            <numerusform>«&#xa0;%1&#xa0;» contient %n serveurs. Cela remplacera votre configuration actuelle. Les sauvegardes planifiées seront réalignées en conséquence.</numerusform>
        </translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>Exporté vers %1</translation>
    </message>
    <message>
        <source>Import failed: %1</source>
        <translation>Échec de l’importation&#xa0;: %1</translation>
    </message>
    <message numerus="yes">
        <source>Imported %n server(s) from %1</source>
        <translation>
            <numerusform>%n serveur importé depuis %1</numerusform>
            <numerusform>%n serveurs importés depuis %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n server(s) repeated another server&apos;s id and were given a new one)</source>
        <translation>
            <numerusform>%1 (%n serveur reprenait l’identifiant d’un autre et en a reçu un nouveau)</numerusform>
            <numerusform>%1 (%n serveurs reprenaient l’identifiant d’un autre et en ont reçu un nouveau)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, but %n schedule(s) not installed: %2</source>
        <translation>
            <numerusform>%1, mais %n planification n’a pas été installée&#xa0;: %2</numerusform>
            <numerusform>%1, mais %n planifications n’ont pas été installées&#xa0;: %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n for other reasons)</source>
        <translation>
            <numerusform>%1 (%n pour d’autres raisons)</numerusform>
            <numerusform>%1 (%n pour d’autres raisons)</numerusform>
        </translation>
    </message>
    <message>
        <source>Import configuration?</source>
        <translation>Importer la configuration ?</translation>
    </message>
</context>
<context>
    <name>ConnectionSection</name>
    <message>
        <source>Connection</source>
        <translation>Connexion</translation>
    </message>
    <message>
        <source>The port must be a whole number from 1 to 65535.</source>
        <translation>Le port doit être un nombre entier de 1 à 65535.</translation>
    </message>
    <message>
        <source>Use keys loaded in ssh-agent instead of a file on disk. Supports passphrase-protected keys.</source>
        <translation>Utiliser les clés chargées dans ssh-agent au lieu d’un fichier. Les clés protégées par une phrase secrète sont possibles.</translation>
    </message>
    <message>
        <source>Use ssh-agent</source>
        <translation>Utiliser ssh-agent</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Hôte</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Username</source>
        <translation>Utilisateur</translation>
    </message>
    <message>
        <source>SSH private key</source>
        <translation>Clé privée SSH</translation>
    </message>
    <message>
        <source>Create a key</source>
        <translation>Créer une clé</translation>
    </message>
    <message>
        <source>Make a new ed25519 key without a passphrase at the path shown (ssh-keygen)</source>
        <translation>Créer une nouvelle clé ed25519 sans phrase secrète au chemin indiqué (ssh-keygen)</translation>
    </message>
    <message>
        <source>Install key on server…</source>
        <translation>Installer la clé sur le serveur…</translation>
    </message>
    <message>
        <source>Add the public key to the account&apos;s authorized keys, with its password asked for once (ssh-copy-id)</source>
        <translation>Ajouter la clé publique aux clés autorisées du compte&#xa0;; son mot de passe est demandé une fois (ssh-copy-id)</translation>
    </message>
    <message>
        <source>KB/s (0 = no limit)</source>
        <translation>Ko/s (0 = sans limite)</translation>
    </message>
    <message>
        <source>Limit bandwidth to</source>
        <translation>Limiter le débit à</translation>
    </message>
    <message>
        <source>Test connection</source>
        <translation>Tester la connexion</translation>
    </message>
    <message>
        <source>ssh-agent holds no keys: add yours with ssh-add (in a terminal: ssh-add ~/.ssh/id_ed25519).</source>
        <translation>ssh-agent ne contient aucune clé&#xa0;: ajoutez la vôtre avec ssh-add (dans un terminal&#xa0;: ssh-add ~/.ssh/id_ed25519).</translation>
    </message>
    <message>
        <source>No ssh-agent answers in this session: start one, or turn “Use ssh-agent” off and choose a key file.</source>
        <translation>Aucun ssh-agent ne répond dans cette session&#xa0;: démarrez-en un, ou désactivez «&#xa0;Utiliser ssh-agent&#xa0;» et choisissez un fichier de clé.</translation>
    </message>
    <message>
        <source>There is no key at this path yet: create one here, or let “Install key on server…” make it.</source>
        <translation>Il n’y a pas encore de clé à ce chemin&#xa0;: créez-en une ici, ou laissez «&#xa0;Installer la clé sur le serveur…&#xa0;» la créer.</translation>
    </message>
    <message>
        <source>This key has a passphrase: turn on “Use ssh-agent” and add it with ssh-add</source>
        <translation>Cette clé a une phrase secrète&#xa0;: activez «&#xa0;Utiliser ssh-agent&#xa0;» et ajoutez-la avec ssh-add</translation>
    </message>
    <message>
        <source>This key cannot be used: %1</source>
        <translation>Cette clé est inutilisable&#xa0;: %1</translation>
    </message>
    <message>
        <source>Could not create the key: %1</source>
        <translation>Impossible de créer la clé&#xa0;: %1</translation>
    </message>
    <message>
        <source>Key created. Next: install it on the server.</source>
        <translation>Clé créée. Étape suivante&#xa0;: l’installer sur le serveur.</translation>
    </message>
    <message>
        <source>Install key on server</source>
        <translation>Installer la clé sur le serveur</translation>
    </message>
    <message>
        <source>Password of %1 on %2 (used once to install the key; never stored):</source>
        <translation>Mot de passe de %1 sur %2 (utilisé une seule fois pour installer la clé&#xa0;; jamais enregistré)&#xa0;:</translation>
    </message>
    <message>
        <source>Creating the key…</source>
        <translation>Création de la clé…</translation>
    </message>
    <message>
        <source>Trust the server&apos;s host key first (under “Host key” below); the key is installed next.</source>
        <translation>Faites d’abord confiance à la clé d’hôte du serveur (sous «&#xa0;Clé d’hôte&#xa0;» ci-dessous)&#xa0;; la clé est installée ensuite.</translation>
    </message>
    <message>
        <source>Installing the key…</source>
        <translation>Installation de la clé…</translation>
    </message>
    <message>
        <source>Could not install the key: %1</source>
        <translation>Impossible d’installer la clé&#xa0;: %1</translation>
    </message>
    <message>
        <source>The key is installed on the server.</source>
        <translation>La clé est installée sur le serveur.</translation>
    </message>
    <message>
        <source>host “%1”</source>
        <translation>hôte «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>user “%1”</source>
        <translation>utilisateur «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>port %1</source>
        <translation>port %1</translation>
    </message>
    <message>
        <source>Split into %1.</source>
        <translation>Séparé en %1.</translation>
    </message>
    <message>
        <source>Testing…</source>
        <translation>Test…</translation>
    </message>
    <message>
        <source>✓ Connected</source>
        <translation>✓ Connecté</translation>
    </message>
    <message>
        <source>✗ Failed</source>
        <translation>✗ Échec</translation>
    </message>
    <message>
        <source>The server accepted none of ssh-agent&apos;s keys: add the right one with ssh-add, or turn “Use ssh-agent” off and install a key file.</source>
        <translation>Le serveur n’a accepté aucune des clés de ssh-agent&#xa0;: ajoutez la bonne avec ssh-add, ou désactivez «&#xa0;Utiliser ssh-agent&#xa0;» et installez un fichier de clé.</translation>
    </message>
    <message>
        <source>The server did not accept this key: use “Install key on server…” to add it with the account&apos;s password.</source>
        <translation>Le serveur n’a pas accepté cette clé&#xa0;: utilisez «&#xa0;Installer la clé sur le serveur…&#xa0;» pour l’ajouter avec le mot de passe du compte.</translation>
    </message>
    <message>
        <source>The server&apos;s host key is not trusted: check it under “Host key”.</source>
        <translation>La clé d’hôte du serveur n’est pas approuvée&#xa0;: vérifiez-la sous «&#xa0;Clé d’hôte&#xa0;».</translation>
    </message>
    <message>
        <source>The host key is not trusted yet: check it under “Host key” below. The test goes on once you trust it.</source>
        <translation>La clé d’hôte n’est pas encore approuvée&#xa0;: vérifiez-la sous «&#xa0;Clé d’hôte&#xa0;» ci-dessous. Le test reprend dès que vous l’approuvez.</translation>
    </message>
    <message>
        <source>Choose SSH private key</source>
        <translation>Choisir la clé privée SSH</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>Create a separate key for Tidewell</source>
        <translation>Créer une clé distincte pour Tidewell</translation>
    </message>
    <message>
        <source>Make a key without a passphrase for Tidewell alone (~/.ssh/tidewell_ed25519) and install it on the server; your own key stays as it is</source>
        <translation>Créer une clé sans phrase secrète réservée à Tidewell (~/.ssh/tidewell_ed25519) et l’installer sur le serveur ; votre propre clé reste telle quelle</translation>
    </message>
    <message>
        <source>Or let Tidewell use a key of its own without a passphrase: scheduled runs have no one to type it, and no agent after a restart.</source>
        <translation>Ou laissez Tidewell utiliser sa propre clé sans phrase secrète : personne n’est là pour la saisir lors des exécutions planifiées, et aucun agent après un redémarrage.</translation>
    </message>
</context>
<context>
    <name>CopyCommand</name>
    <message>
        <source>The copy of %1 to %2 failed: %3</source>
        <translation>La copie de %1 vers %2 a échoué : %3</translation>
    </message>
    <message>
        <source>No second copy is called “%1”.</source>
        <translation>Aucune seconde copie ne s’appelle « %1 ».</translation>
    </message>
    <message>
        <source>“%1” does not take “%2”.</source>
        <translation>« %1 » ne reçoit pas « %2 ».</translation>
    </message>
</context>
<context>
    <name>CopyTargetDialog</name>
    <message>
        <source>A second copy on a host</source>
        <translation>Une seconde copie sur un hôte</translation>
    </message>
    <message>
        <source>A second copy in a folder</source>
        <translation>Une seconde copie dans un dossier</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Copy each good backup&apos;s new day here</source>
        <translation>Copier ici le nouveau jour de chaque sauvegarde réussie</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Choisir…</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Dossier</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Hôte</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Utilisateur</translation>
    </message>
    <message>
        <source>Folder on the host</source>
        <translation>Dossier sur l’hôte</translation>
    </message>
    <message>
        <source>SSH key</source>
        <translation>Clé SSH</translation>
    </message>
    <message>
        <source>Use the keys of ssh-agent</source>
        <translation>Utiliser les clés de ssh-agent</translation>
    </message>
    <message>
        <source>All servers, and those added later</source>
        <translation>Tous les serveurs, y compris ceux ajoutés plus tard</translation>
    </message>
    <message>
        <source>Servers</source>
        <translation>Serveurs</translation>
    </message>
    <message>
        <source>Keep its own number of days</source>
        <translation>Garder son propre nombre de jours</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Historique</translation>
    </message>
    <message>
        <source>daily</source>
        <translation>quotidiens</translation>
    </message>
    <message>
        <source>weekly</source>
        <translation>hebdomadaires</translation>
    </message>
    <message>
        <source>monthly</source>
        <translation>mensuels</translation>
    </message>
    <message>
        <source>Otherwise each server&apos;s own counts apply. A copy that keeps months only receives each month&apos;s newest day.</source>
        <translation>Sinon, les nombres de chaque serveur s’appliquent. Une copie qui ne garde que des mois ne reçoit que le jour le plus récent de chaque mois.</translation>
    </message>
    <message>
        <source>Give the second copy a name.</source>
        <translation>Donnez un nom à la seconde copie.</translation>
    </message>
    <message>
        <source>Another second copy is called “%1”.</source>
        <translation>Une autre seconde copie s’appelle déjà « %1 ».</translation>
    </message>
    <message>
        <source>The folder must be a full path (starting with / or ~).</source>
        <translation>Le dossier doit être un chemin complet (commençant par / ou ~).</translation>
    </message>
    <message>
        <source>The folder must be outside the destination, on another drive.</source>
        <translation>Le dossier doit être hors de la destination, sur un autre disque.</translation>
    </message>
    <message>
        <source>Name the folder on the host.</source>
        <translation>Indiquez le dossier sur l’hôte.</translation>
    </message>
    <message>
        <source>There is no key file %1.</source>
        <translation>Il n’y a pas de fichier de clé %1.</translation>
    </message>
    <message>
        <source>Keep at least one day.</source>
        <translation>Gardez au moins un jour.</translation>
    </message>
    <message>
        <source>Choose at least one server.</source>
        <translation>Choisissez au moins un serveur.</translation>
    </message>
    <message>
        <source>Choose the folder of a second copy</source>
        <translation>Choisir le dossier d’une seconde copie</translation>
    </message>
    <message>
        <source>Choose the SSH key</source>
        <translation>Choisir la clé SSH</translation>
    </message>
    <message>
        <source>Check the host key</source>
        <translation>Vérifier la clé d’hôte</translation>
    </message>
    <message>
        <source>Host key</source>
        <translation>Clé d’hôte</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Vérification…</translation>
    </message>
    <message>
        <source>✔ Trusted: %1</source>
        <translation>✔ Approuvée : %1</translation>
    </message>
    <message>
        <source>? Unknown host: %1</source>
        <translation>? Hôte inconnu : %1</translation>
    </message>
    <message>
        <source>Only trust if the fingerprint matches what the administrator gave you.</source>
        <translation>N’approuvez que si l’empreinte correspond à celle donnée par l’administrateur.</translation>
    </message>
    <message>
        <source>Trust this host</source>
        <translation>Approuver cet hôte</translation>
    </message>
    <message>
        <source>⚠ Fingerprint mismatch! The host presents %1; you trusted %2.</source>
        <translation>⚠ Empreinte différente ! L’hôte présente %1 ; vous aviez approuvé %2.</translation>
    </message>
    <message>
        <source>Nothing is copied there until the key is trusted again.</source>
        <translation>Rien n’y est copié tant que la clé n’est pas de nouveau approuvée.</translation>
    </message>
    <message>
        <source>Replace the stored key…</source>
        <translation>Remplacer la clé enregistrée…</translation>
    </message>
    <message>
        <source>✖ Unreachable: %1</source>
        <translation>✖ Injoignable : %1</translation>
    </message>
    <message>
        <source>Replace the stored key?</source>
        <translation>Remplacer la clé enregistrée ?</translation>
    </message>
    <message>
        <source>Replace the stored host key of %1?</source>
        <translation>Remplacer la clé d’hôte enregistrée de %1 ?</translation>
    </message>
    <message>
        <source>Only do this when you know why the key changed (the host was rebuilt).</source>
        <translation>Ne le faites que si vous savez pourquoi la clé a changé (l’hôte a été réinstallé).</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Remplacer</translation>
    </message>
</context>
<context>
    <name>CopyTargetsSection</name>
    <message>
        <source>A second copy keeps every day of the backups on another drive or host, with a history of its own, so one lost disk loses nothing.</source>
        <translation>Une seconde copie garde chaque jour des sauvegardes sur un autre disque ou un autre hôte, avec son propre historique : un disque perdu ne fait rien perdre.</translation>
    </message>
    <message>
        <source>Add a folder…</source>
        <translation>Ajouter un dossier…</translation>
    </message>
    <message>
        <source>Off: nothing is copied after the backups.</source>
        <translation>Désactivée : rien n’est copié après les sauvegardes.</translation>
    </message>
    <message>
        <source>%1: not copied yet</source>
        <translation>%1 : pas encore copié</translation>
    </message>
    <message>
        <source>%1: up to %2</source>
        <translation>%1 : jusqu’au %2</translation>
    </message>
    <message numerus="yes">
        <source>(%n day(s) behind)</source>
        <translation>
            <numerusform>(%n jour de retard)</numerusform>
            <numerusform>(%n jours de retard)</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: the last copy failed: %2</source>
        <translation>%1 : la dernière copie a échoué : %2</translation>
    </message>
    <message>
        <source>Copy now</source>
        <translation>Copier maintenant</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Retirer</translation>
    </message>
    <message>
        <source>Choose the folder of a second copy</source>
        <translation>Choisir le dossier d’une seconde copie</translation>
    </message>
    <message>
        <source>Remove “%1”?</source>
        <translation>Retirer « %1 » ?</translation>
    </message>
    <message>
        <source>Remove the second copy “%1”?</source>
        <translation>Retirer la seconde copie « %1 » ?</translation>
    </message>
    <message>
        <source>Nothing more is copied there. The days it holds stay where they are.</source>
        <translation>Plus rien n’y est copié. Les jours qu’elle contient restent où ils sont.</translation>
    </message>
    <message>
        <source>Copying %1 to %2…</source>
        <translation>Copie de %1 vers %2…</translation>
    </message>
    <message>
        <source>Copied to %1: it holds every day.</source>
        <translation>Copié vers %1 : elle contient chaque jour.</translation>
    </message>
    <message>
        <source>Not copied to %1: %2</source>
        <translation>Pas copié vers %1 : %2</translation>
    </message>
    <message>
        <source>Add a host…</source>
        <translation>Ajouter un hôte…</translation>
    </message>
    <message>
        <source>Edit…</source>
        <translation>Modifier…</translation>
    </message>
    <message>
        <source>After each good backup, its new day is copied to every second copy that is on. A host is reached over ssh as a server is, its host key checked the same way.</source>
        <translation>Après chaque sauvegarde réussie, son nouveau jour est copié dans chaque seconde copie active. Un hôte est joint par ssh comme un serveur, et sa clé d’hôte vérifiée de la même façon.</translation>
    </message>
    <message>
        <source>%1 — %2 — encrypted</source>
        <translation>%1 — %2 — chiffrée</translation>
    </message>
    <message>
        <source>Encrypt…</source>
        <translation>Chiffrer…</translation>
    </message>
</context>
<context>
    <name>DashboardView</name>
    <message>
        <source>Overview</source>
        <translation>Vue d’ensemble</translation>
    </message>
    <message>
        <source>Servers</source>
        <translation>Serveurs</translation>
    </message>
    <message>
        <source>Healthy</source>
        <translation>En bon état</translation>
    </message>
    <message>
        <source>Failing</source>
        <translation>En échec</translation>
    </message>
    <message>
        <source>Overdue</source>
        <translation>En retard</translation>
    </message>
    <message>
        <source>Scheduled</source>
        <translation>Planifiés</translation>
    </message>
    <message>
        <source>Show all servers in the list</source>
        <translation>Afficher tous les serveurs dans la liste</translation>
    </message>
    <message>
        <source>Show the failing servers in the list</source>
        <translation>Afficher les serveurs en échec dans la liste</translation>
    </message>
    <message>
        <source>Show the overdue servers in the list</source>
        <translation>Afficher les serveurs en retard dans la liste</translation>
    </message>
    <message>
        <source>No servers configured</source>
        <translation>Aucun serveur configuré</translation>
    </message>
    <message>
        <source>Click + in the sidebar to add your first server.</source>
        <translation>Cliquez sur + dans la barre latérale pour ajouter votre premier serveur.</translation>
    </message>
    <message>
        <source>Your first backup in three steps</source>
        <translation>Votre première sauvegarde en trois étapes</translation>
    </message>
    <message>
        <source>Add a server: its address, the account to log in as, and a name.</source>
        <translation>Ajoutez un serveur&#xa0;: son adresse, le compte de connexion et un nom.</translation>
    </message>
    <message>
        <source>Add a server</source>
        <translation>Ajouter un serveur</translation>
    </message>
    <message>
        <source>Set up its SSH key (Tidewell can make one and install it with the account&apos;s password) and trust its host key.</source>
        <translation>Configurez sa clé SSH (Tidewell peut en créer une et l’installer avec le mot de passe du compte) et approuvez sa clé d’hôte.</translation>
    </message>
    <message>
        <source>Set up key</source>
        <translation>Configurer la clé</translation>
    </message>
    <message>
        <source>Add a folder to back up, then run the first backup.</source>
        <translation>Ajoutez un dossier à sauvegarder, puis lancez la première sauvegarde.</translation>
    </message>
    <message>
        <source>Add a path</source>
        <translation>Ajouter un chemin</translation>
    </message>
    <message>
        <source>%1: not yet</source>
        <translation>%1 : pas encore</translation>
    </message>
    <message>
        <source>%1: up to %2</source>
        <translation>%1 : jusqu’au %2</translation>
    </message>
    <message numerus="yes">
        <source>(%n day(s) behind)</source>
        <translation>
            <numerusform>(%n jour de retard)</numerusform>
            <numerusform>(%n jours de retard)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DatabaseDump</name>
    <message>
        <source>Path “%1” is a database dump of a kind Tidewell does not know (“%2”); it can dump postgresql, mysql and sqlite.</source>
        <translation>Le chemin « %1 » est un export de base de données d’un type que Tidewell ne connaît pas (« %2 ») ; il sait exporter postgresql, mysql et sqlite.</translation>
    </message>
    <message>
        <source>Path “%1” is a database dump: its remote path is the folder the dump is written to, not a file.</source>
        <translation>Le chemin « %1 » est un export de base de données : son chemin distant est le dossier où l’export est écrit, pas un fichier.</translation>
    </message>
    <message>
        <source>Path “%1” names no database to dump.</source>
        <translation>Le chemin « %1 » ne nomme aucune base de données à exporter.</translation>
    </message>
    <message>
        <source>Path “%1”: the database “%2” cannot start with “-” or hold a line break.</source>
        <translation>Chemin « %1 » : la base « %2 » ne peut pas commencer par « - » ni contenir de saut de ligne.</translation>
    </message>
    <message>
        <source>Path “%1”: the database account “%2” may hold only letters, digits and “._@-”.</source>
        <translation>Chemin « %1 » : le compte de base de données « %2 » ne peut contenir que des lettres, des chiffres et « ._@- ».</translation>
    </message>
    <message>
        <source>Path “%1”: the SQLite database must be a path on the server such as /var/lib/app/app.db, not “%2”.</source>
        <translation>Chemin « %1 » : la base SQLite doit être un chemin sur le serveur comme /var/lib/app/app.db, pas « %2 ».</translation>
    </message>
    <message>
        <source>Path “%1”: SQLite cannot write its dump into a folder whose name holds a quote or a line break (“%2”).</source>
        <translation>Chemin « %1 » : SQLite ne peut pas écrire son export dans un dossier dont le nom contient une apostrophe ou un saut de ligne (« %2 »).</translation>
    </message>
</context>
<context>
    <name>Desktop</name>
    <message>
        <source>the folder does not exist</source>
        <translation>le dossier n’existe pas</translation>
    </message>
    <message>
        <source>no file manager answered, and no program is set to open folders</source>
        <translation>aucun gestionnaire de fichiers n’a répondu et aucun programme n’est défini pour ouvrir les dossiers</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>A file is already there</source>
        <translation>Un fichier existe déjà</translation>
    </message>
    <message>
        <source>“%1” is already there. Replace it with the restored one?</source>
        <translation>«&#xa0;%1&#xa0;» existe déjà. Le remplacer par le fichier restauré&#xa0;?</translation>
    </message>
    <message>
        <source>“Keep both” gives the restored file the backup&apos;s date in its name.</source>
        <translation>«&#xa0;Garder les deux&#xa0;» ajoute la date de la sauvegarde au nom du fichier restauré.</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Remplacer</translation>
    </message>
    <message>
        <source>Keep both</source>
        <translation>Garder les deux</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Ignorer</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>Do this for the other files that are there too</source>
        <translation>Faire de même pour les autres fichiers déjà présents</translation>
    </message>
    <message>
        <source>Restore into which folder?</source>
        <translation>Restaurer dans quel dossier ?</translation>
    </message>
    <message>
        <source>Restore into this folder (it is made if it is not there yet):</source>
        <translation>Restaurer dans ce dossier (il est créé s’il n’existe pas encore) :</translation>
    </message>
    <message>
        <source>Browse…</source>
        <translation>Parcourir…</translation>
    </message>
    <message>
        <source>Also give back devices, FIFOs and setuid or setgid bits as they were</source>
        <translation>Rendre aussi les périphériques, les FIFO et les bits setuid ou setgid tels qu’ils étaient</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restaurer</translation>
    </message>
</context>
<context>
    <name>DiffDialog</name>
    <message>
        <source>Changes in %1</source>
        <translation>Modifications de %1</translation>
    </message>
    <message>
        <source>Comparing…</source>
        <translation>Comparaison…</translation>
    </message>
    <message>
        <source>Changes</source>
        <translation>Modifications</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>The two versions are the same.</source>
        <translation>Les deux versions sont identiques.</translation>
    </message>
    <message>
        <source>Lines starting with - are in %1 only, lines starting with + in %2 only.</source>
        <translation>Les lignes commençant par - ne sont que dans %1, celles commençant par + que dans %2.</translation>
    </message>
    <message>
        <source>Not a text file: its changes cannot be shown line by line.</source>
        <translation>Ce n’est pas un fichier texte : ses modifications ne peuvent pas être affichées ligne par ligne.</translation>
    </message>
    <message>
        <source>Larger than %1: its changes are not shown line by line.</source>
        <translation>Plus de %1 : ses modifications ne sont pas affichées ligne par ligne.</translation>
    </message>
    <message>
        <source>The changes could not be shown: %1</source>
        <translation>Les modifications n’ont pas pu être affichées : %1</translation>
    </message>
</context>
<context>
    <name>EncryptCommand</name>
    <message>
        <source>“%1” is encrypted; its passphrase is read from %2.</source>
        <translation>«&#xa0;%1&#xa0;» est chiffré&#xa0;; sa phrase secrète est lue dans %2.</translation>
    </message>
    <message>
        <source>Recovery key (shown this once):</source>
        <translation>Clé de récupération (affichée cette seule fois)&#xa0;:</translation>
    </message>
    <message>
        <source>Write it down or print it and keep it away from this computer: with it the backups can be read without the passphrase, even if gocryptfs.conf is lost.</source>
        <translation>Notez-la ou imprimez-la et gardez-la loin de cet ordinateur&#xa0;: elle permet de lire les sauvegardes sans la phrase secrète, même si gocryptfs.conf est perdu.</translation>
    </message>
    <message>
        <source>tidewell: --encrypt-destination needs --passphrase-file FILE, a file readable by you alone whose first line is the passphrase</source>
        <translation>tidewell&#xa0;: --encrypt-destination demande --passphrase-file FICHIER, un fichier lisible par vous seul dont la première ligne est la phrase secrète</translation>
    </message>
    <message>
        <source>tidewell: the configuration could not be saved: %1</source>
        <translation>tidewell&#xa0;: la configuration n’a pas pu être enregistrée&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>EncryptDialog</name>
    <message>
        <source>Encrypt backups</source>
        <translation>Chiffrer les sauvegardes</translation>
    </message>
    <message>
        <source>The folder must be empty. From now on it holds only gocryptfs ciphertext: names and contents of the copies are unreadable without the passphrase or the recovery key.</source>
        <translation>Le dossier doit être vide. Désormais il ne contient que du texte chiffré par gocryptfs&#xa0;: noms et contenus des copies sont illisibles sans la phrase secrète ou la clé de récupération.</translation>
    </message>
    <message>
        <source>Passphrase file</source>
        <translation>Fichier de phrase secrète</translation>
    </message>
    <message>
        <source>A file readable by you alone (chmod 600) whose first line is the passphrase.</source>
        <translation>Un fichier lisible par vous seul (chmod 600) dont la première ligne est la phrase secrète.</translation>
    </message>
    <message>
        <source>Encrypt</source>
        <translation>Chiffrer</translation>
    </message>
    <message>
        <source>Encrypted. This is the recovery key, shown this once: write it down or print it and keep it away from this computer. With it the backups can be read without the passphrase, even if gocryptfs.conf is lost.</source>
        <translation>Chiffré. Voici la clé de récupération, affichée cette seule fois&#xa0;: notez-la ou imprimez-la et gardez-la loin de cet ordinateur. Elle permet de lire les sauvegardes sans la phrase secrète, même si gocryptfs.conf est perdu.</translation>
    </message>
    <message>
        <source>Type its first group</source>
        <translation>Saisissez son premier groupe</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Terminé</translation>
    </message>
    <message>
        <source>Choose the passphrase file.</source>
        <translation>Choisissez le fichier de phrase secrète.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Close without the recovery key?</source>
        <translation>Fermer sans la clé de récupération&#xa0;?</translation>
    </message>
    <message>
        <source>The folder is encrypted already; the key is not shown again.</source>
        <translation>Le dossier est déjà chiffré&#xa0;; la clé ne sera plus affichée.</translation>
    </message>
</context>
<context>
    <name>EncryptionSetup</name>
    <message>
        <source>“%1” is encrypted already</source>
        <translation>«&#xa0;%1&#xa0;» est déjà chiffré</translation>
    </message>
    <message>
        <source>“%1” is not an absolute path</source>
        <translation>«&#xa0;%1&#xa0;» n’est pas un chemin absolu</translation>
    </message>
    <message>
        <source>encrypted folders here use the passphrase file %1; give that one</source>
        <translation>les dossiers chiffrés utilisent ici le fichier de phrase secrète %1&#xa0;; indiquez celui-là</translation>
    </message>
    <message>
        <source>there is no second copy “%1”</source>
        <translation>il n’y a pas de seconde copie «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>“%1” is a copy on a host; only a copy in a folder of this computer can be encrypted</source>
        <translation>«&#xa0;%1&#xa0;» est une copie sur un hôte&#xa0;; seule une copie dans un dossier de cet ordinateur peut être chiffrée</translation>
    </message>
</context>
<context>
    <name>EntryPoint</name>
    <message>
        <source>tidewell: %1 (see tidewell --help)</source>
        <translation>tidewell&#xa0;: %1 (voir tidewell --help)</translation>
    </message>
    <message>
        <source>--restore needs --date yyyy-MM-dd, the day of the backup to restore from</source>
        <translation>--restore demande --date aaaa-MM-jj, le jour de la sauvegarde à restaurer</translation>
    </message>
    <message>
        <source>--restore needs at least one --item, a remote path as the server has it</source>
        <translation>--restore demande au moins un --item, un chemin distant tel que le serveur le connaît</translation>
    </message>
    <message>
        <source>--restore needs either --to FOLDER (this computer) or --to-server [FOLDER]</source>
        <translation>--restore demande soit --to DOSSIER (cet ordinateur), soit --to-server [DOSSIER]</translation>
    </message>
    <message>
        <source>--to needs a folder</source>
        <translation>--to demande un dossier</translation>
    </message>
    <message numerus="yes">
        <source>tidewell: unknown option(s) %1 ignored (see tidewell --help)</source>
        <translation>
            <numerusform>tidewell&#xa0;: option inconnue %1 ignorée (voir tidewell --help)</numerusform>
            <numerusform>tidewell&#xa0;: options inconnues %1 ignorées (voir tidewell --help)</numerusform>
        </translation>
    </message>
    <message>
        <source>--keep-special is for --to</source>
        <translation>--keep-special va avec --to</translation>
    </message>
    <message>
        <source>--list-backups needs a server ID or name</source>
        <translation>--list-backups demande l’identifiant ou le nom d’un serveur</translation>
    </message>
    <message>
        <source>--restore needs a server ID or name</source>
        <translation>--restore demande l’identifiant ou le nom d’un serveur</translation>
    </message>
    <message>
        <source>tidewell: %1 needs a server ID or name (see tidewell --help)</source>
        <translation>tidewell : %1 demande l’identifiant ou le nom d’un serveur (voir tidewell --help)</translation>
    </message>
    <message>
        <source>--verify-remote needs a server ID or name</source>
        <translation>--verify-remote a besoin de l’identifiant ou du nom d’un serveur</translation>
    </message>
    <message>
        <source>--date needs a day as yyyy-MM-dd</source>
        <translation>--date a besoin d’un jour au format aaaa-MM-jj</translation>
    </message>
    <message>
        <source>--verify needs a server ID or name</source>
        <translation>--verify demande l’identifiant ou le nom d’un serveur</translation>
    </message>
    <message>
        <source>--verify takes --date or --all, not both</source>
        <translation>--verify prend --date ou --all, pas les deux</translation>
    </message>
    <message>
        <source>--sample needs a share from 1% to 100%</source>
        <translation>--sample demande une part de 1% à 100%</translation>
    </message>
    <message>
        <source>--export needs a file name</source>
        <translation>--export demande un nom de fichier</translation>
    </message>
    <message>
        <source>--import needs a file name</source>
        <translation>--import demande un nom de fichier</translation>
    </message>
    <message>
        <source>--remove-server needs a server ID or name</source>
        <translation>--remove-server demande l’identifiant ou le nom d’un serveur</translation>
    </message>
    <message>
        <source>--add-server needs a name</source>
        <translation>--add-server demande un nom</translation>
    </message>
    <message>
        <source>--add-server needs --host HOST</source>
        <translation>--add-server demande --host HÔTE</translation>
    </message>
    <message>
        <source>--add-server takes --key or --agent, not both</source>
        <translation>--add-server prend --key ou --agent, pas les deux</translation>
    </message>
    <message>
        <source>%1 needs a server ID or name</source>
        <translation>%1 demande l’identifiant ou le nom d’un serveur</translation>
    </message>
    <message>
        <source>--set-path needs a path&apos;s name after the server</source>
        <translation>--set-path demande le nom d’un chemin après le serveur</translation>
    </message>
    <message>
        <source>%1 needs at least one KEY=VALUE</source>
        <translation>%1 demande au moins un CLÉ=VALEUR</translation>
    </message>
    <message>
        <source>--metrics needs a file name</source>
        <translation>--metrics demande un nom de fichier</translation>
    </message>
    <message>
        <source>--apply needs a file name</source>
        <translation>--apply demande un nom de fichier</translation>
    </message>
    <message>
        <source>--copy needs the name of a second copy</source>
        <translation>--copy demande le nom d’une seconde copie</translation>
    </message>
    <message>
        <source>--server is for --copy</source>
        <translation>--server va avec --copy</translation>
    </message>
    <message>
        <source>--from needs the name of a second copy</source>
        <translation>--from demande le nom d’une seconde copie</translation>
    </message>
    <message>
        <source>--from is for --list-backups and --restore</source>
        <translation>--from va avec --list-backups et --restore</translation>
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
Secondes copies (copyTargets dans la configuration) :
  --copy CIBLE [--server SERVEUR]
                          copier chaque jour qui manque à la seconde copie CIBLE
                          (son nom ou son id), de chaque serveur qu’elle reçoit
                          ou de SERVEUR ; code 1 quand une copie a échoué ou
                          que CIBLE n’était pas là
  --from CIBLE            avec --list-backups et --restore : lire les
                          sauvegardes dans la seconde copie CIBLE (un dossier
                          de cet ordinateur, ou un hôte par ssh)
</translation>
    </message>
    <message>
        <source>--pause needs a server ID or name</source>
        <translation>--pause demande l’ID ou le nom d’un serveur</translation>
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
        <translation>Options :
  --run-backup SERVEUR    sauvegarder ce serveur sans fenêtre et sortir avec
                          l’état de l’exécution (ainsi démarrent les
                          planifications quotidiennes)
  --status                afficher l’état, la dernière exécution, la dernière
                          réussite et la prochaine exécution de chaque serveur ;
                          code 0 si chaque serveur planifié est en bon état
                          (en attente : planifié il y a moins de 26 heures,
                          pas encore exécuté)
  --servers               lister les serveurs, un par ligne : identifiant, nom,
                          utilisateur@hôte:port, planification et état,
                          séparés par des tabulations
  --json                  avec --status, --servers ou --list-backups : la même
                          chose en JSON
  --export FICHIER        écrire tous les serveurs et réglages en JSON dans
                          FICHIER (sans chemins de clé, dernières exécutions ni
                          adresses de rapport)
  --import FICHIER        dire ce que contient FICHIER ; avec --replace, il
                          devient la configuration et ses planifications sont
                          installées
  --add-server NOM        ajouter un serveur (ses chemins nommés d’après leur
                          dernière partie, sauf si =NOM suit ; --daily le
                          planifie) ; affiche son identifiant
  --set SERVEUR CLÉ=VALEUR
                          changer des membres du serveur, nommés comme dans sa
                          forme JSON (port=2222, scheduleEnabled=true) ; sans
                          SERVEUR, des réglages de tous (metricsFile=FICHIER)
  --set-path SERVEUR CHEMIN CLÉ=VALEUR
                          changer un chemin (remotePath=, enabled=,
                          excludes=[...]) ; un nouveau CHEMIN est ajouté quand
                          remotePath= est donné
  --apply FICHIER         rendre la configuration conforme à FICHIER (forme de
                          l’export ; serveurs associés par identifiant, sinon
                          par nom ; avec --prune, ceux qu’il n’a pas sont
                          retirés) ; une ligne par changement ; --check ne
                          change rien et sort avec 1 s’il changerait quelque
                          chose
  --remove-server SERVEUR retirer le serveur et sa planification (ses
                          sauvegardes restent)
  --check                 signaler les serveurs en retard (notification,
                          contrôle de santé, webhook, e-mail, ntfy) comme la
                          fenêtre ; ce que lance org.tidewell.check.timer,
                          toutes les heures
  --run-overdue           lancer la sauvegarde planifiée de chaque serveur sans
                          bonne sauvegarde sur sa période ; ce que lance
                          org.tidewell.drive.service au montage du disque
  --pause SERVEUR         suspendre la sauvegarde en cours du serveur : ce
                          qu’elle a copié est gardé, son prochain passage
                          reprend là
  --metrics FICHIER       écrire les chiffres de chaque serveur pour Prometheus
                          dans FICHIER (collecteur textfile de node_exporter)
  --nagios                avec --status : une ligne pour un greffon de
                          supervision, code 0 OK, 1 WARNING (en retard),
                          2 CRITICAL (en échec), 3 UNKNOWN
  --report-failure SERVEUR
                          signaler une exécution planifiée du serveur terminée
                          sans rapport (OnFailure= de systemd la lance) ;
                          sinon rien
  --list-backups SERVEUR  lister les sauvegardes du serveur : jour, complète ou non
  --verify SERVEUR        lire les copies de la dernière sauvegarde complète (du
                          DATE, ou de tous les jours avec --all) et les comparer
                          à leurs empreintes, chaque fichier une fois ;
                          --sample 10% en lit un dixième ; code de sortie 1 pour
                          des fichiers endommagés, 20 si la vérification est
                          arrêtée (la même commande la reprend)
  --verify-remote SERVEUR lire la dernière sauvegarde complète (ou celle du DATE)
                          face au serveur, chaque fichier des deux côtés ; code 1
                          si un fichier diffère alors que taille et date concordent
  --accept-changes SERVEUR
                          confirmer que la plupart des fichiers du serveur ont
                          changé à dessein : ses anciennes sauvegardes, gardées
                          depuis, sont de nouveau élaguées
  --restore SERVEUR       restaurer des chemins distants tels que la sauvegarde
                          du DATE (aaaa-MM-jj) les contient : dans un dossier de
                          cet ordinateur (un fichier déjà présent est gardé, le
                          fichier restauré reçoit « (restored DATE) » dans son
                          nom ; périphériques, FIFO et bits setuid seulement
                          avec --keep-special, en root), ou sur le serveur, à
                          leur emplacement d’origine ou dans DOSSIER, créé s’il
                          manque (les fichiers remplacés sont gardés dans un
                          dossier .tidewell-replaced-*) ; --dry-run dit
                          seulement ce qui serait écrit
  -h, --help              afficher cette aide et quitter
  -v, --version           afficher la version et quitter

Codes de sortie : ceux de rsync ; 2 pour une ligne de commande inapplicable, 20
pour une exécution ou une restauration annulée, 75 pendant une sauvegarde du
serveur. Plus d’informations, notamment sur les fichiers, dans man tidewell.
</translation>
    </message>
    <message>
        <source>--target needs the name of a second copy</source>
        <translation>--target demande le nom d’une seconde copie</translation>
    </message>
    <message>
        <source>--passphrase-file and --target are for --encrypt-destination</source>
        <translation>--passphrase-file et --target vont avec --encrypt-destination</translation>
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
        <translation>Utilisation : tidewell
              tidewell --run-backup SERVEUR
              tidewell --status [--json | --nagios]
              tidewell --servers [--json]
              tidewell --export FICHIER
              tidewell --import FICHIER [--replace | --dry-run]
              tidewell --add-server NOM --host HÔTE [--port N]
                       [--user UTILISATEUR] [--key CHEMIN | --agent]
                       [--path DISTANT[=NOM]]...
                       [--exclude MOTIF]... [--daily HH:MM] [--keep N]
                       [--keep-weekly N] [--keep-monthly N]
              tidewell --set SERVEUR CLÉ=VALEUR... | --set CLÉ=VALEUR...
              tidewell --set-path SERVEUR CHEMIN CLÉ=VALEUR...
              tidewell --apply FICHIER [--check] [--prune]
              tidewell --remove-server SERVEUR
              tidewell --check
              tidewell --run-overdue
              tidewell --pause SERVEUR
              tidewell --metrics FICHIER
              tidewell --encrypt-destination [--target CIBLE] --passphrase-file FICHIER
              tidewell --report-failure SERVEUR
              tidewell --list-backups SERVEUR [--json]
              tidewell --verify SERVEUR [--date DATE | --all] [--sample POURCENT]
              tidewell --verify-remote SERVEUR [--date DATE]
              tidewell --accept-changes SERVEUR
              tidewell --restore SERVEUR --date DATE --item CHEMIN [--item CHEMIN...]
                       (--to DOSSIER [--keep-special] | --to-server [DOSSIER])
                       [--dry-run] [--allow-incomplete]
              tidewell --help | --version
Garde des copies locales des fichiers de vos serveurs, copiées avec rsync par SSH.

Sans option, la fenêtre s’ouvre (ou celle déjà ouverte est affichée). SERVEUR
est l’identifiant d’un serveur, ou son nom quand aucun autre serveur ne le porte.

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
Sauvegardes chiffrées (gocryptfs)&#xa0;:
  --encrypt-destination [--target CIBLE] --passphrase-file FICHIER
                          faire de la destination vide (ou du dossier de la
                          seconde copie CIBLE) un dossier chiffré dont la phrase
                          secrète est la première ligne de FICHIER (lisible par
                          vous seul)&#xa0;; affiche une fois la clé de récupération
</translation>
    </message>
</context>
<context>
    <name>FleetCommand</name>
    <message>
        <source>“%1.%2” is not a date as 2026-12-01T03:00:00Z (with its offset from UTC): “%3”</source>
        <translation>« %1.%2 » n’est pas une date comme 2026-12-01T03:00:00Z (avec son décalage par rapport à UTC) : « %3 »</translation>
    </message>
    <message>
        <source>%1 is not there</source>
        <translation>%1 n’existe pas</translation>
    </message>
    <message>
        <source>%1 is not JSON: %2 at byte %3</source>
        <translation>%1 n’est pas du JSON : %2 à l’octet %3</translation>
    </message>
    <message>
        <source>%1 does not hold a JSON object</source>
        <translation>%1 ne contient pas d’objet JSON</translation>
    </message>
    <message>
        <source>“servers” in %1 is not a list</source>
        <translation>« servers » dans %1 n’est pas une liste</translation>
    </message>
    <message>
        <source>“servers[%1]” in %2 is not an object</source>
        <translation>« servers[%1] » dans %2 n’est pas un objet</translation>
    </message>
    <message>
        <source>“servers[%1]” in %2 has no name</source>
        <translation>« servers[%1] » dans %2 n’a pas de nom</translation>
    </message>
    <message>
        <source>%1 things are named “%2”: give the one meant by its id</source>
        <translation>%1 éléments s’appellent « %2 » : désignez le bon par son identifiant</translation>
    </message>
    <message>
        <source>a path is not an object</source>
        <translation>un chemin n’est pas un objet</translation>
    </message>
    <message>
        <source>two of its paths are the same path “%1”</source>
        <translation>deux de ses chemins sont le même chemin « %1 »</translation>
    </message>
    <message>
        <source>“paths” is not a list</source>
        <translation>« paths » n’est pas une liste</translation>
    </message>
    <message>
        <source>“%1” is the server “%2” again</source>
        <translation>« %1 » est de nouveau le serveur « %2 »</translation>
    </message>
    <message>
        <source>two servers in the file have the same id</source>
        <translation>deux serveurs du fichier ont le même identifiant</translation>
    </message>
    <message>
        <source>changed settings: %1</source>
        <translation>réglages modifiés : %1</translation>
    </message>
    <message>
        <source>added %1</source>
        <translation>%1 ajouté</translation>
    </message>
    <message>
        <source>changed %1: %2</source>
        <translation>%1 modifié : %2</translation>
    </message>
    <message>
        <source>removed %1; its backups stay in %2</source>
        <translation>%1 retiré ; ses sauvegardes restent dans %2</translation>
    </message>
    <message>
        <source>tidewell: nothing applied: %1</source>
        <translation>tidewell : rien n’a été appliqué : %1</translation>
    </message>
    <message>
        <source>the configuration could not be saved: %1</source>
        <translation>la configuration n’a pas pu être enregistrée : %1</translation>
    </message>
</context>
<context>
    <name>Formatting</name>
    <message numerus="yes">
        <source>%n year(s) ago</source>
        <translation>
            <numerusform>il y a %n an</numerusform>
            <numerusform>il y a %n ans</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n year(s)</source>
        <translation>
            <numerusform>dans %n an</numerusform>
            <numerusform>dans %n ans</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n month(s) ago</source>
        <translation>
            <numerusform>il y a %n mois</numerusform>
            <numerusform>il y a %n mois</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n month(s)</source>
        <translation>
            <numerusform>dans %n mois</numerusform>
            <numerusform>dans %n mois</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n week(s) ago</source>
        <translation>
            <numerusform>il y a %n semaine</numerusform>
            <numerusform>il y a %n semaines</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n week(s)</source>
        <translation>
            <numerusform>dans %n semaine</numerusform>
            <numerusform>dans %n semaines</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n day(s) ago</source>
        <translation>
            <numerusform>il y a %n jour</numerusform>
            <numerusform>il y a %n jours</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n day(s)</source>
        <translation>
            <numerusform>dans %n jour</numerusform>
            <numerusform>dans %n jours</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hour(s) ago</source>
        <translation>
            <numerusform>il y a %n heure</numerusform>
            <numerusform>il y a %n heures</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n hour(s)</source>
        <translation>
            <numerusform>dans %n heure</numerusform>
            <numerusform>dans %n heures</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minute(s) ago</source>
        <translation>
            <numerusform>il y a %n minute</numerusform>
            <numerusform>il y a %n minutes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n minute(s)</source>
        <translation>
            <numerusform>dans %n minute</numerusform>
            <numerusform>dans %n minutes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n second(s) ago</source>
        <translation>
            <numerusform>il y a %n seconde</numerusform>
            <numerusform>il y a %n secondes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n second(s)</source>
        <translation>
            <numerusform>dans %n seconde</numerusform>
            <numerusform>dans %n secondes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HeadlessRunner</name>
    <message numerus="yes">
        <source>%n damaged file(s) in the backups: %1</source>
        <translation>
            <numerusform>%n fichier endommagé dans les sauvegardes : %1</numerusform>
            <numerusform>%n fichiers endommagés dans les sauvegardes : %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) differ from the server though size and time agree: %1</source>
        <translation>
            <numerusform>%n fichier diffère du serveur bien que taille et date concordent : %1</numerusform>
            <numerusform>%n fichiers diffèrent du serveur bien que taille et date concordent : %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HostKeyCheck</name>
    <message>
        <source>Host key added to ~/.ssh/known_hosts.</source>
        <translation>Clé d’hôte ajoutée à ~/.ssh/known_hosts.</translation>
    </message>
    <message>
        <source>Failed to trust host: %1</source>
        <translation>Impossible d’approuver l’hôte&#xa0;: %1</translation>
    </message>
    <message>
        <source>The old host key was removed and the new one trusted.</source>
        <translation>L’ancienne clé d’hôte a été retirée et la nouvelle approuvée.</translation>
    </message>
</context>
<context>
    <name>HostKeyChecker</name>
    <message>
        <source>No response from %1:%2</source>
        <translation>Aucune réponse de %1:%2</translation>
    </message>
    <message>
        <source>Could not parse fingerprint</source>
        <translation>Empreinte illisible</translation>
    </message>
    <message>
        <source>ssh-keyscan failed</source>
        <translation>échec de ssh-keyscan</translation>
    </message>
    <message>
        <source>the server now presents %1 %2, not the key shown. Check again.</source>
        <translation>le serveur présente maintenant %1 %2, pas la clé affichée. Vérifiez à nouveau.</translation>
    </message>
</context>
<context>
    <name>HostKeySection</name>
    <message>
        <source>Host key</source>
        <translation>Clé d’hôte</translation>
    </message>
    <message>
        <source>Check host key</source>
        <translation>Vérifier la clé d’hôte</translation>
    </message>
    <message>
        <source>Verify the server&apos;s SSH host key fingerprint before trusting it. On first use, compare the fingerprint with what the server administrator provides.</source>
        <translation>Vérifiez l’empreinte de la clé d’hôte SSH du serveur avant de l’approuver. La première fois, comparez-la avec celle fournie par l’administrateur du serveur.</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Vérification…</translation>
    </message>
    <message>
        <source>✔ Trusted</source>
        <translation>✔ Approuvée</translation>
    </message>
    <message>
        <source>Trusted fingerprint</source>
        <translation>Empreinte approuvée</translation>
    </message>
    <message>
        <source>? Unknown host</source>
        <translation>? Hôte inconnu</translation>
    </message>
    <message>
        <source>Server&apos;s fingerprint</source>
        <translation>Empreinte du serveur</translation>
    </message>
    <message>
        <source>Trust this host</source>
        <translation>Approuver cet hôte</translation>
    </message>
    <message>
        <source>Only trust if the fingerprint matches what the administrator gave you.</source>
        <translation>N’approuvez que si l’empreinte correspond à celle donnée par l’administrateur.</translation>
    </message>
    <message>
        <source>⚠ Fingerprint mismatch!</source>
        <translation>⚠ Empreinte différente&#xa0;!</translation>
    </message>
    <message>
        <source>Server presents</source>
        <translation>Le serveur présente</translation>
    </message>
    <message>
        <source>You trusted</source>
        <translation>Vous avez approuvé</translation>
    </message>
    <message>
        <source>DANGER: the key changed. This can happen after a server rebuild — but also indicates possible interception. Do not proceed without verifying with the administrator.</source>
        <translation>DANGER&#xa0;: la clé a changé. Cela peut arriver après une réinstallation du serveur — mais aussi signaler une interception. Ne continuez pas sans vérifier auprès de l’administrateur.</translation>
    </message>
    <message>
        <source>✖ Unreachable</source>
        <translation>✖ Injoignable</translation>
    </message>
    <message>
        <source>Replace the stored key…</source>
        <translation>Remplacer la clé enregistrée…</translation>
    </message>
</context>
<context>
    <name>KeySetup</name>
    <message>
        <source>no path for the key</source>
        <translation>aucun chemin pour la clé</translation>
    </message>
    <message>
        <source>a file is already at %1; nothing was changed</source>
        <translation>un fichier existe déjà à %1&#xa0;; rien n’a été modifié</translation>
    </message>
    <message>
        <source>could not make the folder %1</source>
        <translation>impossible de créer le dossier %1</translation>
    </message>
    <message>
        <source>ssh-keygen ended with code %1</source>
        <translation>ssh-keygen s’est terminé avec le code %1</translation>
    </message>
    <message>
        <source>the public key could not be made from %1</source>
        <translation>impossible de produire la clé publique à partir de %1</translation>
    </message>
    <message>
        <source>could not write %1: %2</source>
        <translation>impossible d’écrire %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>could not prepare the password hand-over: %1</source>
        <translation>impossible de préparer la transmission du mot de passe&#xa0;: %1</translation>
    </message>
    <message>
        <source>ssh-copy-id could not be started: %1</source>
        <translation>impossible de lancer ssh-copy-id&#xa0;: %1</translation>
    </message>
    <message>
        <source>ssh-copy-id did not finish within a minute</source>
        <translation>ssh-copy-id ne s’est pas terminé en une minute</translation>
    </message>
    <message>
        <source>the server did not accept the password</source>
        <translation>le serveur n’a pas accepté le mot de passe</translation>
    </message>
    <message>
        <source>the server asked for no password (it may allow key log-ins only): %1</source>
        <translation>le serveur n’a demandé aucun mot de passe (il n’accepte peut-être que les connexions par clé)&#xa0;: %1</translation>
    </message>
    <message>
        <source>the server&apos;s host key is not trusted yet: check it first</source>
        <translation>la clé d’hôte du serveur n’est pas encore approuvée&#xa0;: vérifiez-la d’abord</translation>
    </message>
    <message>
        <source>ssh-copy-id ended with code %1</source>
        <translation>ssh-copy-id s’est terminé avec le code %1</translation>
    </message>
</context>
<context>
    <name>LastRunSection</name>
    <message>
        <source>Last run</source>
        <translation>Dernière exécution</translation>
    </message>
    <message>
        <source>When</source>
        <translation>Quand</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <source>View full log</source>
        <translation>Voir tout le journal</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Annulée</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Réussie</translation>
    </message>
    <message>
        <source>Failed (exit %1)</source>
        <translation>Échec (code %1)</translation>
    </message>
    <message>
        <source>These changes are expected</source>
        <translation>Ces changements sont voulus</translation>
    </message>
    <message>
        <source>Old backups are pruned again from the next run</source>
        <translation>Les anciennes sauvegardes sont de nouveau élaguées dès la prochaine exécution</translation>
    </message>
    <message>
        <source>The old backups stay kept: %1</source>
        <translation>Les anciennes sauvegardes restent gardées : %1</translation>
    </message>
    <message>
        <source>Check backups…</source>
        <translation>Vérifier les copies…</translation>
    </message>
    <message>
        <source>Read every copy once and compare it with its fingerprint</source>
        <translation>Lire chaque copie une fois et la comparer à son empreinte</translation>
    </message>
    <message>
        <source>Checked</source>
        <translation>Vérifiées</translation>
    </message>
    <message>
        <source>Never</source>
        <translation>Jamais</translation>
    </message>
    <message>
        <source>%1 · every file intact</source>
        <translation>%1 · tous les fichiers intacts</translation>
    </message>
    <message numerus="yes">
        <source>%1 · %n damaged file(s): see tidewell --verify</source>
        <translation>
            <numerusform>%1 · %n fichier endommagé : voir tidewell --verify</numerusform>
            <numerusform>%1 · %n fichiers endommagés : voir tidewell --verify</numerusform>
        </translation>
    </message>
    <message>
        <source>Checking… %1 of %2 files</source>
        <translation>Vérification… %1 fichiers sur %2</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Vérification…</translation>
    </message>
    <message>
        <source>The backups could not be read: %1</source>
        <translation>Les sauvegardes n’ont pas pu être lues : %1</translation>
    </message>
    <message>
        <source>Check against the server</source>
        <translation>Comparer avec le serveur</translation>
    </message>
    <message>
        <source>Read the newest backup and the server&apos;s files and name those that differ though size and time agree</source>
        <translation>Lire la copie la plus récente et les fichiers du serveur et nommer ceux qui diffèrent malgré une taille et une date identiques</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Serveur</translation>
    </message>
    <message>
        <source>Never compared</source>
        <translation>Jamais comparé</translation>
    </message>
    <message>
        <source>%1 · agrees with the server</source>
        <translation>%1 · identique au serveur</translation>
    </message>
    <message numerus="yes">
        <source>%1 · %n file(s) differ though size and time agree: see tidewell --verify-remote</source>
        <translation>
            <numerusform>%1 · %n fichier diffère malgré une taille et une date identiques : voir tidewell --verify-remote</numerusform>
            <numerusform>%1 · %n fichiers diffèrent malgré une taille et une date identiques : voir tidewell --verify-remote</numerusform>
        </translation>
    </message>
    <message>
        <source>Comparing every file with the server…</source>
        <translation>Comparaison de chaque fichier avec le serveur…</translation>
    </message>
    <message>
        <source>The check could not be made: %1</source>
        <translation>La comparaison n’a pas pu être faite : %1</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>Copies</source>
        <translation>Copies</translation>
    </message>
    <message>
        <source>Not copied to %1 yet</source>
        <translation>Pas encore copié vers %1</translation>
    </message>
    <message>
        <source>Copied to %1: up to %2</source>
        <translation>Copié vers %1 : jusqu’au %2</translation>
    </message>
    <message>
        <source>the last copy failed: %1</source>
        <translation>la dernière copie a échoué : %1</translation>
    </message>
    <message>
        <source>Paused: the next run goes on from where it stopped</source>
        <translation>Suspendue : le prochain passage reprend là où elle s’est arrêtée</translation>
    </message>
</context>
<context>
    <name>Lingering</name>
    <message>
        <source>Timers run only while you are logged in: run `loginctl enable-linger %1`</source>
        <translation>Les planifications ne tournent que tant que vous êtes connecté : lancez `loginctl enable-linger %1`</translation>
    </message>
</context>
<context>
    <name>LocalCommand</name>
    <message>
        <source>The command before the run names “%1”, which is not an executable file.</source>
        <translation>La commande d’avant l’exécution désigne « %1 », qui n’est pas un fichier exécutable.</translation>
    </message>
    <message>
        <source>The command before the run must start with the program&apos;s absolute path, not “%1”.</source>
        <translation>La commande d’avant l’exécution doit commencer par le chemin absolu du programme, pas par « %1 ».</translation>
    </message>
    <message>
        <source>The command after a successful run names “%1”, which is not an executable file.</source>
        <translation>La commande après une exécution réussie désigne « %1 », qui n’est pas un fichier exécutable.</translation>
    </message>
    <message>
        <source>The command after a successful run must start with the program&apos;s absolute path, not “%1”.</source>
        <translation>La commande après une exécution réussie doit commencer par le chemin absolu du programme, pas par « %1 ».</translation>
    </message>
    <message>
        <source>The command after a failed run names “%1”, which is not an executable file.</source>
        <translation>La commande après une exécution en échec désigne « %1 », qui n’est pas un fichier exécutable.</translation>
    </message>
    <message>
        <source>The command after a failed run must start with the program&apos;s absolute path, not “%1”.</source>
        <translation>La commande après une exécution en échec doit commencer par le chemin absolu du programme, pas par « %1 ».</translation>
    </message>
</context>
<context>
    <name>LogViewerView</name>
    <message>
        <source>Last log</source>
        <translation>Dernier journal</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Réussie</translation>
    </message>
    <message>
        <source>Failed (exit %1)</source>
        <translation>Échec (code %1)</translation>
    </message>
    <message>
        <source>Reveal log file</source>
        <translation>Afficher le fichier journal</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Last run: %1</source>
        <translation>Dernière exécution&#xa0;: %1</translation>
    </message>
    <message>
        <source>No log available for this server.</source>
        <translation>Aucun journal pour ce serveur.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>Add Server</source>
        <translation>Ajouter un serveur</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>Paramètres…</translation>
    </message>
    <message>
        <source>Quit Tidewell</source>
        <translation>Quitter Tidewell</translation>
    </message>
    <message>
        <source>&amp;Server</source>
        <translation>&amp;Serveur</translation>
    </message>
    <message>
        <source>Find Servers</source>
        <translation>Chercher des serveurs</translation>
    </message>
    <message>
        <source>Dashboard</source>
        <translation>Vue d’ensemble</translation>
    </message>
    <message>
        <source>Run Backup Now</source>
        <translation>Sauvegarder maintenant</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Raccourcis clavier</translation>
    </message>
    <message>
        <source>Servers</source>
        <translation>Serveurs</translation>
    </message>
    <message>
        <source>Show dashboard</source>
        <translation>Afficher la vue d’ensemble</translation>
    </message>
    <message>
        <source>Add a new server</source>
        <translation>Ajouter un nouveau serveur</translation>
    </message>
    <message>
        <source>Find by name or host (Ctrl+F)</source>
        <translation>Chercher par nom ou hôte (Ctrl+F)</translation>
    </message>
    <message>
        <source>Find servers</source>
        <translation>Chercher des serveurs</translation>
    </message>
    <message>
        <source>Show servers</source>
        <translation>Afficher les serveurs</translation>
    </message>
    <message>
        <source>Order</source>
        <translation>Ordre</translation>
    </message>
    <message>
        <source>As configured</source>
        <translation>Ordre d’origine</translation>
    </message>
    <message>
        <source>By name</source>
        <translation>Par nom</translation>
    </message>
    <message>
        <source>Needs attention first</source>
        <translation>À surveiller d’abord</translation>
    </message>
    <message>
        <source>Could not open %1: %2</source>
        <translation>Impossible d’ouvrir %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>No backups yet</source>
        <translation>Aucune sauvegarde pour l’instant</translation>
    </message>
    <message>
        <source>Run backup now</source>
        <translation>Sauvegarder maintenant</translation>
    </message>
    <message>
        <source>Open backups folder</source>
        <translation>Ouvrir le dossier des sauvegardes</translation>
    </message>
    <message>
        <source>View last log</source>
        <translation>Voir le dernier journal</translation>
    </message>
    <message>
        <source>Restore…</source>
        <translation>Restaurer…</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Dupliquer</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Delete server</source>
        <translation>Supprimer le serveur</translation>
    </message>
    <message>
        <source>This removes the server configuration. Local backups are not touched.</source>
        <translation>Cela supprime la configuration du serveur. Les sauvegardes locales ne sont pas touchées.</translation>
    </message>
    <message>
        <source>Could not open %1: the folder could not be made</source>
        <translation>Impossible d’ouvrir %1&#xa0;: le dossier n’a pas pu être créé</translation>
    </message>
    <message>
        <source>%1 could not be read: %2</source>
        <translation>Impossible de lire %1&#xa0;: %2</translation>
    </message>
    <message numerus="yes">
        <source>%1: %2 (and %n more)</source>
        <translation>
            <numerusform>%1&#xa0;: %2 (et %n autre)</numerusform>
            <numerusform>%1&#xa0;: %2 (et %n autres)</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Add a server</source>
        <translation>Ajouter un serveur</translation>
    </message>
    <message>
        <source>Find servers by name or host</source>
        <translation>Chercher des serveurs par nom ou hôte</translation>
    </message>
    <message>
        <source>Show the dashboard</source>
        <translation>Afficher la vue d’ensemble</translation>
    </message>
    <message>
        <source>Run a backup of the selected server now</source>
        <translation>Sauvegarder maintenant le serveur sélectionné</translation>
    </message>
    <message>
        <source>Delete the selected server (in the list, after asking)</source>
        <translation>Supprimer le serveur sélectionné (dans la liste, après confirmation)</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Enter</source>
        <translation>Entrée</translation>
    </message>
    <message>
        <source>Open the server of the focused dashboard card</source>
        <translation>Ouvrir le serveur de la carte sélectionnée</translation>
    </message>
    <message>
        <source>All (%1)</source>
        <translation>Tous (%1)</translation>
    </message>
    <message>
        <source>Failing (%1)</source>
        <translation>En échec (%1)</translation>
    </message>
    <message>
        <source>Overdue (%1)</source>
        <translation>En retard (%1)</translation>
    </message>
    <message>
        <source>Running (%1)</source>
        <translation>En cours (%1)</translation>
    </message>
    <message>
        <source>Not scheduled (%1)</source>
        <translation>Non planifiés (%1)</translation>
    </message>
    <message>
        <source>The configuration file could not be read; its contents were kept in %1</source>
        <translation>Le fichier de configuration n’a pas pu être lu&#xa0;; son contenu a été conservé dans %1</translation>
    </message>
    <message>
        <source>%1 could not be read: %2 (kept as %3)</source>
        <translation>Impossible de lire %1&#xa0;: %2 (conservé sous %3)</translation>
    </message>
    <message>
        <source>%1 could not be read: %2 (it will not be replaced: %3)</source>
        <translation>Impossible de lire %1&#xa0;: %2 (il ne sera pas remplacé&#xa0;: %3)</translation>
    </message>
    <message>
        <source>Last backup: %1</source>
        <translation>Dernière sauvegarde&#xa0;: %1</translation>
    </message>
    <message>
        <source>Leave a server&apos;s settings for the dashboard</source>
        <translation>Quitter les réglages d’un serveur pour le tableau de bord</translation>
    </message>
    <message>
        <source>Show backup</source>
        <translation>Afficher la sauvegarde</translation>
    </message>
    <message>
        <source>The backups of %1 are encrypted: browse and restore them in Tidewell, or open the folder by hand with gocryptfs.</source>
        <translation>Les sauvegardes de %1 sont chiffrées&#xa0;: parcourez-les et restaurez-les dans Tidewell, ou ouvrez le dossier à la main avec gocryptfs.</translation>
    </message>
</context>
<context>
    <name>MenuBarContent</name>
    <message>
        <source>Run backup now</source>
        <translation>Sauvegarder maintenant</translation>
    </message>
    <message>
        <source>Last: %1</source>
        <translation>Dernière&#xa0;: %1</translation>
    </message>
    <message>
        <source>Scheduled: daily at %1 (next %2)</source>
        <translation>Planifiée&#xa0;: chaque jour à %1 (prochaine %2)</translation>
    </message>
    <message>
        <source>Scheduled: daily at %1</source>
        <translation>Planifiée&#xa0;: chaque jour à %1</translation>
    </message>
    <message>
        <source>Progress: %1%  —  %2</source>
        <translation>Progression&#xa0;: %1 %  —  %2</translation>
    </message>
    <message>
        <source>Path: %1</source>
        <translation>Chemin&#xa0;: %1</translation>
    </message>
    <message>
        <source>Running: %1</source>
        <translation>En cours&#xa0;: %1</translation>
    </message>
    <message>
        <source>Cancel current backup</source>
        <translation>Annuler la sauvegarde en cours</translation>
    </message>
    <message>
        <source>No servers configured</source>
        <translation>Aucun serveur configuré</translation>
    </message>
    <message numerus="yes">
        <source>and %n more…</source>
        <translation>
            <numerusform>et %n autre…</numerusform>
            <numerusform>et %n autres…</numerusform>
        </translation>
    </message>
    <message>
        <source>All servers…</source>
        <translation>Tous les serveurs…</translation>
    </message>
    <message>
        <source>Open Tidewell…</source>
        <translation>Ouvrir Tidewell…</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>Paramètres…</translation>
    </message>
    <message>
        <source>Quit Tidewell</source>
        <translation>Quitter Tidewell</translation>
    </message>
    <message>
        <source>Scheduled: %1 (next %2)</source>
        <translation>Planifiée : %1 (prochaine %2)</translation>
    </message>
    <message>
        <source>Scheduled: %1</source>
        <translation>Planifiée : %1</translation>
    </message>
    <message>
        <source>Cancel the backup of %1</source>
        <translation>Annuler la sauvegarde de %1</translation>
    </message>
    <message>
        <source>Waiting for a free slot…</source>
        <translation>En attente d’une place libre…</translation>
    </message>
</context>
<context>
    <name>NotificationService</name>
    <message>
        <source>⏹ %1 — backup cancelled</source>
        <translation>⏹ %1 — sauvegarde annulée</translation>
    </message>
    <message>
        <source>%1 — backup ended (status unknown)</source>
        <translation>%1 — sauvegarde terminée (état inconnu)</translation>
    </message>
    <message>
        <source>⚠ %1 — backup completed, but %2</source>
        <translation>⚠ %1 — sauvegarde terminée, mais %2</translation>
    </message>
    <message>
        <source>✓ %1 — backup completed</source>
        <translation>✓ %1 — sauvegarde terminée</translation>
    </message>
    <message>
        <source>✗ %1 — backup failed (exit %2)</source>
        <translation>✗ %1 — échec de la sauvegarde (code %2)</translation>
    </message>
    <message>
        <source>⏹ %1 — restore cancelled</source>
        <translation>⏹ %1 — restauration annulée</translation>
    </message>
    <message>
        <source>✓ %1 — restore completed</source>
        <translation>✓ %1 — restauration terminée</translation>
    </message>
    <message>
        <source>✗ %1 — restore failed (exit %2)</source>
        <translation>✗ %1 — échec de la restauration (code %2)</translation>
    </message>
    <message>
        <source>✗ %1 — restore failed (exit unknown)</source>
        <translation>✗ %1 — échec de la restauration (code inconnu)</translation>
    </message>
    <message>
        <source>✗ %1 — backup failed: %2</source>
        <translation>✗ %1 — échec de la sauvegarde : %2</translation>
    </message>
</context>
<context>
    <name>OverdueWatch</name>
    <message>
        <source>Show</source>
        <translation>Afficher</translation>
    </message>
    <message>
        <source>⚠ %1 — no successful backup yet</source>
        <translation>⚠ %1 — aucune sauvegarde réussie pour l’instant</translation>
    </message>
    <message numerus="yes">
        <source>⚠ %1 — no successful backup for %n day(s)</source>
        <translation>
            <numerusform>⚠ %1 — aucune sauvegarde réussie depuis %n jour</numerusform>
            <numerusform>⚠ %1 — aucune sauvegarde réussie depuis %n jours</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>⚠ %n server(s) need attention</source>
        <translation>
            <numerusform>⚠ %n serveur demande votre attention</numerusform>
            <numerusform>⚠ %n serveurs demandent votre attention</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n more</source>
        <translation>
            <numerusform>%1 et %n autre</numerusform>
            <numerusform>%1 et %n autres</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PathField</name>
    <message>
        <source>Browse…</source>
        <translation>Parcourir…</translation>
    </message>
</context>
<context>
    <name>PathRow</name>
    <message>
        <source>Copy this path</source>
        <translation>Copier ce chemin</translation>
    </message>
    <message>
        <source>Label (e.g. SQLite DB, Media)</source>
        <translation>Libellé (p. ex. Base SQLite, Médias)</translation>
    </message>
    <message>
        <source>Path label</source>
        <translation>Libellé du chemin</translation>
    </message>
    <message>
        <source>Remote path (e.g. /var/www/app/media)</source>
        <translation>Chemin distant (p. ex. /var/www/app/media)</translation>
    </message>
    <message>
        <source>Remote path</source>
        <translation>Chemin distant</translation>
    </message>
    <message>
        <source>Directory</source>
        <translation>Dossier</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Pre-backup command (runs via SSH before rsync, optional)</source>
        <translation>Commande préalable (exécutée par SSH avant rsync, facultative)</translation>
    </message>
    <message>
        <source>Pre-backup command</source>
        <translation>Commande préalable</translation>
    </message>
    <message>
        <source>Exclude (one rsync pattern per line, e.g. node_modules/, *.log)</source>
        <translation>Exclure (un motif rsync par ligne, p. ex. node_modules/, *.log)</translation>
    </message>
    <message>
        <source>Exclude patterns</source>
        <translation>Motifs d’exclusion</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Aperçu</translation>
    </message>
    <message>
        <source>Show what a run would copy and what the patterns leave out, without copying anything</source>
        <translation>Montrer ce qu’une exécution copierait et ce que les motifs excluent, sans rien copier</translation>
    </message>
    <message>
        <source>Choose the path among the server&apos;s folders</source>
        <translation>Choisir le chemin parmi les dossiers du serveur</translation>
    </message>
    <message>
        <source>Remove this path</source>
        <translation>Retirer ce chemin</translation>
    </message>
    <message>
        <source>After-backup command (runs via SSH after rsync, also when it failed; $TIDEWELL_STATUS is rsync&apos;s exit)</source>
        <translation>Commande finale (exécutée par SSH après rsync, même en cas d’échec ; $TIDEWELL_STATUS est le code de sortie de rsync)</translation>
    </message>
    <message>
        <source>After-backup command</source>
        <translation>Commande finale</translation>
    </message>
    <message>
        <source>Database dump</source>
        <translation>Base de données</translation>
    </message>
    <message>
        <source>The remote path is a folder: the database is dumped into it before the transfer, copied with it and removed after</source>
        <translation>Le chemin distant est un dossier : la base y est exportée avant le transfert, copiée avec lui puis supprimée</translation>
    </message>
    <message>
        <source>Database</source>
        <translation>Base de données</translation>
    </message>
    <message>
        <source>Database name</source>
        <translation>Nom de la base</translation>
    </message>
    <message>
        <source>Account (optional)</source>
        <translation>Compte (facultatif)</translation>
    </message>
    <message>
        <source>Database account</source>
        <translation>Compte de la base</translation>
    </message>
    <message>
        <source>Folder on the server the dump is written to (e.g. /var/backups/db)</source>
        <translation>Dossier du serveur où l’export est écrit (p. ex. /var/backups/db)</translation>
    </message>
    <message>
        <source>Database file on the server (e.g. /var/lib/app/app.db)</source>
        <translation>Fichier de la base sur le serveur (p. ex. /var/lib/app/app.db)</translation>
    </message>
</context>
<context>
    <name>PathsSection</name>
    <message>
        <source>Backup paths</source>
        <translation>Chemins sauvegardés</translation>
    </message>
    <message>
        <source>Add path</source>
        <translation>Ajouter un chemin</translation>
    </message>
    <message>
        <source>%1 enabled of %2</source>
        <translation>%1 actif(s) sur %2</translation>
    </message>
</context>
<context>
    <name>PreviewDialog</name>
    <message>
        <source>Preview</source>
        <translation>Aperçu</translation>
    </message>
    <message>
        <source>Asking the server what a run would copy…</source>
        <translation>Le serveur est interrogé sur ce qu’une exécution copierait…</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>A dry run with this path&apos;s real options: nothing is copied. Lines starting with “&gt;f” or “cd” would be copied, “hf” or “.f” taken unchanged; “hiding” lines are left out by a pattern.</source>
        <translation>Un essai à blanc avec les vraies options de ce chemin&#xa0;: rien n’est copié. Les lignes commençant par «&#xa0;&gt;f&#xa0;» ou «&#xa0;cd&#xa0;» seraient copiées, «&#xa0;hf&#xa0;» ou «&#xa0;.f&#xa0;» reprises telles quelles&#xa0;; les lignes «&#xa0;hiding&#xa0;» sont exclues par un motif.</translation>
    </message>
    <message>
        <source>The server is no longer in the settings.</source>
        <translation>Le serveur ne figure plus dans les paramètres.</translation>
    </message>
    <message>
        <source>%1 is %2 on the server.</source>
        <translation>%1 correspond à %2 sur le serveur.</translation>
    </message>
    <message numerus="yes">
        <source>A run would copy %n file(s)</source>
        <translation>
            <numerusform>Une exécution copierait %n fichier</numerusform>
            <numerusform>Une exécution copierait %n fichiers</numerusform>
        </translation>
    </message>
    <message>
        <source>Preview of “%1” on %2</source>
        <translation>Aperçu de «&#xa0;%1&#xa0;» sur %2</translation>
    </message>
    <message numerus="yes">
        <source>%1 and take %n unchanged file(s) from the snapshot of %2</source>
        <translation>
            <numerusform>%1 et reprendrait %n fichier inchangé de l’instantané du %2</numerusform>
            <numerusform>%1 et reprendrait %n fichiers inchangés de l’instantané du %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1; %n file(s) in the destination are up to date</source>
        <translation>
            <numerusform>%1&#xa0;; %n fichier de la destination est à jour</numerusform>
            <numerusform>%1&#xa0;; %n fichiers de la destination sont à jour</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1; %n item(s) left out by exclude patterns.</source>
        <translation>
            <numerusform>%1&#xa0;; %n élément exclu par les motifs.</numerusform>
            <numerusform>%1&#xa0;; %n éléments exclus par les motifs.</numerusform>
        </translation>
    </message>
    <message>
        <source>Cancelled. So far: %1</source>
        <translation>Annulé. Jusqu’ici&#xa0;: %1</translation>
    </message>
    <message>
        <source>Included at the top: %1</source>
        <translation>Au premier niveau&#xa0;: %1</translation>
    </message>
    <message>
        <source>rsync ended with exit %1; see its lines below.</source>
        <translation>rsync s’est terminé avec le code %1&#xa0;; voir ses lignes ci-dessous.</translation>
    </message>
    <message>
        <source>The first %1 of rsync&apos;s lines are shown.</source>
        <translation>Les %1 premières lignes de rsync sont affichées.</translation>
    </message>
</context>
<context>
    <name>RemoteFolderDialog</name>
    <message>
        <source>Choose a remote path on %1</source>
        <translation>Choisir un chemin distant sur %1</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Remonter</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Choisir</translation>
    </message>
    <message>
        <source>Listing %1…</source>
        <translation>Liste de %1…</translation>
    </message>
    <message>
        <source>the home folder</source>
        <translation>le dossier personnel</translation>
    </message>
    <message>
        <source>Could not list the folder: %1</source>
        <translation>Impossible de lister le dossier&#xa0;: %1</translation>
    </message>
    <message>
        <source>This folder is empty.</source>
        <translation>Ce dossier est vide.</translation>
    </message>
</context>
<context>
    <name>RemoteListing</name>
    <message>
        <source>the server&apos;s answer was not a folder listing</source>
        <translation>la réponse du serveur n’était pas une liste de dossier</translation>
    </message>
    <message>
        <source>the server&apos;s find cannot list folders (it has no -printf): type the path instead</source>
        <translation>le find du serveur ne peut pas lister les dossiers (pas de -printf)&#xa0;: saisissez plutôt le chemin</translation>
    </message>
    <message>
        <source>ssh exited with code %1</source>
        <translation>ssh s’est terminé avec le code %1</translation>
    </message>
</context>
<context>
    <name>RestoreView</name>
    <message>
        <source>Restore from “%1”</source>
        <translation>Restaurer depuis «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>Backups</source>
        <translation>Sauvegardes</translation>
    </message>
    <message>
        <source>Find in this backup (a part of a name)</source>
        <translation>Chercher dans cette sauvegarde (une partie d’un nom)</translation>
    </message>
    <message>
        <source>Found</source>
        <translation>Trouvés</translation>
    </message>
    <message>
        <source>Versions…</source>
        <translation>Versions…</translation>
    </message>
    <message>
        <source>Compare…</source>
        <translation>Comparer…</translation>
    </message>
    <message>
        <source>Restore to this computer…</source>
        <translation>Restaurer sur cet ordinateur…</translation>
    </message>
    <message>
        <source>Restore to the server…</source>
        <translation>Restaurer sur le serveur…</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>%1 found; the first %2 are shown.</source>
        <translation>%1 trouvés&#xa0;; les %2 premiers sont affichés.</translation>
    </message>
    <message numerus="yes">
        <source>%n found.</source>
        <translation>
            <numerusform>%n trouvé.</numerusform>
            <numerusform>%n trouvés.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 (incomplete)</source>
        <translation>%1 (incomplète)</translation>
    </message>
    <message>
        <source>There are no dated backups of this server in %1 yet.</source>
        <translation>Il n’y a pas encore de sauvegarde datée de ce serveur dans %1.</translation>
    </message>
    <message>
        <source>This backup is incomplete: its run did not finish, so files may be missing or older.</source>
        <translation>Cette sauvegarde est incomplète&#xa0;: son exécution ne s’est pas terminée, des fichiers peuvent manquer ou être plus anciens.</translation>
    </message>
    <message>
        <source>Searching…</source>
        <translation>Recherche…</translation>
    </message>
    <message>
        <source>Restore from an incomplete backup?</source>
        <translation>Restaurer depuis une sauvegarde incomplète&#xa0;?</translation>
    </message>
    <message>
        <source>The backup of %1 is incomplete.</source>
        <translation>La sauvegarde du %1 est incomplète.</translation>
    </message>
    <message>
        <source>Its run did not finish: some files may be missing, or be older than the server&apos;s were that day.</source>
        <translation>Son exécution ne s’est pas terminée&#xa0;: certains fichiers peuvent manquer ou être plus anciens que ceux du serveur ce jour-là.</translation>
    </message>
    <message>
        <source>Restore anyway</source>
        <translation>Restaurer quand même</translation>
    </message>
    <message>
        <source>Choose one file or folder that a path of this server backs up.</source>
        <translation>Choisissez un fichier ou un dossier qu’un chemin de ce serveur sauvegarde.</translation>
    </message>
    <message>
        <source>Choose the files and folders to restore first.</source>
        <translation>Choisissez d’abord les fichiers et dossiers à restaurer.</translation>
    </message>
    <message>
        <source>Only files that a path of this server backs up can go back to it.</source>
        <translation>Seuls les fichiers qu’un chemin de ce serveur sauvegarde peuvent y retourner.</translation>
    </message>
    <message>
        <source>Restore to the server</source>
        <translation>Restaurer sur le serveur</translation>
    </message>
    <message>
        <source>Put them back where they came from, or into this folder of the server (leave it empty for where they came from):</source>
        <translation>Les remettre à leur emplacement d’origine, ou dans ce dossier du serveur (laisser vide pour l’emplacement d’origine)&#xa0;:</translation>
    </message>
    <message>
        <source>A backup of this server is running; restore after it has finished.</source>
        <translation>Une sauvegarde de ce serveur est en cours&#xa0;; restaurez une fois qu’elle est terminée.</translation>
    </message>
    <message>
        <source>Looking at what is there…</source>
        <translation>Examen de l’existant…</translation>
    </message>
    <message>
        <source>Nothing was restored.</source>
        <translation>Rien n’a été restauré.</translation>
    </message>
    <message>
        <source>Restoring to %1…</source>
        <translation>Restauration vers %1…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message numerus="yes">
        <source>Cancelled: %n file(s) had been restored to %1.</source>
        <translation>
            <numerusform>Annulé&#xa0;: %n fichier avait été restauré vers %1.</numerusform>
            <numerusform>Annulé&#xa0;: %n fichiers avaient été restaurés vers %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Restored %n file(s) to %1.</source>
        <translation>
            <numerusform>%n fichier restauré vers %1.</numerusform>
            <numerusform>%n fichiers restaurés vers %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n left as they were.</source>
        <translation>
            <numerusform>%n laissé tel quel.</numerusform>
            <numerusform>%n laissés tels quels.</numerusform>
        </translation>
    </message>
    <message>
        <source>Kept both: %1.</source>
        <translation>Les deux conservés&#xa0;: %1.</translation>
    </message>
    <message>
        <source>Not restored: %1</source>
        <translation>Non restaurés&#xa0;: %1</translation>
    </message>
    <message>
        <source>Asking the server what the restore would change (a dry run: nothing is written)…</source>
        <translation>Le serveur est interrogé sur ce que la restauration changerait (un essai à blanc&#xa0;: rien n’est écrit)…</translation>
    </message>
    <message>
        <source>The dry run failed (exit %1): %2</source>
        <translation>L’essai à blanc a échoué (code %1)&#xa0;: %2</translation>
    </message>
    <message>
        <source>Restore to the server?</source>
        <translation>Restaurer sur le serveur&#xa0;?</translation>
    </message>
    <message>
        <source>Files the restore replaces are kept on the server in a .tidewell-replaced folder beside them; nothing is deleted there.</source>
        <translation>Les fichiers remplacés par la restauration sont conservés sur le serveur dans un dossier .tidewell-replaced à côté d’eux&#xa0;; rien n’y est supprimé.</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restaurer</translation>
    </message>
    <message>
        <source>Restored; replaced files are kept on the server in %1.</source>
        <translation>Restauré&#xa0;; les fichiers remplacés sont conservés sur le serveur dans %1.</translation>
    </message>
    <message numerus="yes">
        <source>Skipped %n special file(s): %1.</source>
        <translation>
            <numerusform>%n fichier spécial ignoré : %1.</numerusform>
            <numerusform>%n fichiers spéciaux ignorés : %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>Restored; nothing on the server was replaced.</source>
        <translation>Restauré ; rien n’a été remplacé sur le serveur.</translation>
    </message>
    <message>
        <source>Read from</source>
        <translation>Lire depuis</translation>
    </message>
    <message>
        <source>The destination (%1)</source>
        <translation>La destination (%1)</translation>
    </message>
    <message>
        <source>The second copy “%1” (%2)</source>
        <translation>La seconde copie « %1 » (%2)</translation>
    </message>
    <message>
        <source>The second copy “%1” (over ssh: tidewell --restore --from “%1”)</source>
        <translation>La seconde copie « %1 » (par ssh : tidewell --restore --from « %1 »)</translation>
    </message>
    <message>
        <source>Find in this backup</source>
        <translation>Rechercher dans cette sauvegarde</translation>
    </message>
    <message>
        <source>Files in this backup</source>
        <translation>Fichiers de cette sauvegarde</translation>
    </message>
    <message>
        <source>In every backup</source>
        <translation>Dans toutes les sauvegardes</translation>
    </message>
    <message>
        <source>Each file is found once, in the newest backup that holds it</source>
        <translation>Chaque fichier est trouvé une fois, dans la sauvegarde la plus récente qui le contient</translation>
    </message>
    <message>
        <source>Find in every backup (a part of a name)</source>
        <translation>Rechercher dans toutes les sauvegardes (une partie d’un nom)</translation>
    </message>
    <message>
        <source>Find in every backup</source>
        <translation>Rechercher dans toutes les sauvegardes</translation>
    </message>
    <message>
        <source>Backup</source>
        <translation>Sauvegarde</translation>
    </message>
    <message>
        <source>These come from several backups: restore those of one backup at a time.</source>
        <translation>Ils proviennent de plusieurs sauvegardes : restaurez ceux d’une seule sauvegarde à la fois.</translation>
    </message>
    <message>
        <source>Opening the encrypted folder…</source>
        <translation>Ouverture du dossier chiffré…</translation>
    </message>
    <message>
        <source>The encrypted folder cannot be opened: %1</source>
        <translation>Le dossier chiffré ne peut pas être ouvert&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>RetentionSection</name>
    <message>
        <source>Retention</source>
        <translation>Conservation</translation>
    </message>
    <message>
        <source>0 = keep all</source>
        <translation>0 = tout garder</translation>
    </message>
    <message>
        <source>plus weekly</source>
        <translation>plus hebdomadaires</translation>
    </message>
    <message>
        <source>monthly</source>
        <translation>mensuelles</translation>
    </message>
    <message>
        <source>Keep last N daily backups</source>
        <translation>Garder les N dernières sauvegardes quotidiennes</translation>
    </message>
    <message>
        <source>Only applies when &apos;Create date subfolder&apos; is on in Settings and N is 1 or more. After each successful run, Tidewell keeps the last N YYYY-MM-DD folders and, besides them, the newest of each of the last W weeks (Monday to Sunday) and M months, and deletes the rest. Incomplete folders never count as kept; folders dated after today are never touched.</source>
        <translation>Ne s’applique que si «&#xa0;Créer un sous-dossier daté&#xa0;» est activé dans les paramètres et que N vaut 1 ou plus. Après chaque exécution réussie, Tidewell garde les N derniers dossiers AAAA-MM-JJ et, en plus, le plus récent de chacune des W dernières semaines (lundi à dimanche) et des M derniers mois, et supprime le reste. Les dossiers incomplets ne comptent jamais parmi ceux gardés&#xa0;; les dossiers datés d’après aujourd’hui ne sont jamais touchés.</translation>
    </message>
    <message>
        <source>plus hourly</source>
        <translation>plus par heure</translation>
    </message>
    <message>
        <source>Backed up several times a day, each run keeps a folder of its own (YYYY-MM-DD_HHMM): each of the last N days keeps its newest, and each of the last H hours its newest.</source>
        <translation>Sauvegardé plusieurs fois par jour, chaque passage garde son propre dossier (AAAA-MM-JJ_HHMM) : le plus récent de chacun des N derniers jours est gardé, et celui de chacune des H dernières heures.</translation>
    </message>
</context>
<context>
    <name>RsyncPreview</name>
    <message>
        <source>The path is no longer in this server&apos;s settings.</source>
        <translation>Le chemin ne figure plus dans les paramètres de ce serveur.</translation>
    </message>
</context>
<context>
    <name>RsyncRunner</name>
    <message>
        <source>old backups could not be deleted</source>
        <translation>les anciennes sauvegardes n’ont pas pu être supprimées</translation>
    </message>
    <message>
        <source>the server&apos;s host key has changed: open the server in Tidewell to check it</source>
        <translation>la clé d’hôte du serveur a changé : ouvrez le serveur dans Tidewell pour la vérifier</translation>
    </message>
    <message>
        <source>the server&apos;s host key is not trusted yet: open the server in Tidewell</source>
        <translation>la clé d’hôte du serveur n’est pas encore approuvée : ouvrez le serveur dans Tidewell</translation>
    </message>
    <message>
        <source>most files changed since the last backup: old backups are kept until you confirm this change</source>
        <translation>la plupart des fichiers ont changé depuis la dernière sauvegarde : les anciennes sauvegardes sont gardées jusqu’à ce que vous confirmiez ce changement</translation>
    </message>
</context>
<context>
    <name>RunNotifier</name>
    <message>
        <source>Show</source>
        <translation>Afficher</translation>
    </message>
    <message>
        <source>View log</source>
        <translation>Voir le journal</translation>
    </message>
    <message>
        <source>Host key of %1 added on first use: %2</source>
        <translation>Clé d’hôte de %1 ajoutée à la première connexion&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>Schedule</name>
    <message>
        <source>Invalid calendar &apos;%1&apos;: use a systemd calendar expression such as “Sat *-*-* 04:00”.</source>
        <translation>Calendrier « %1 » non valide : utilisez une expression de calendrier systemd comme « Sat *-*-* 04:00 ».</translation>
    </message>
    <message>
        <source>Invalid schedule: every %1 hours; use 1, 2, 3, 4, 6, 8 or 12.</source>
        <translation>Planification non valide : toutes les %1 heures ; utilisez 1, 2, 3, 4, 6, 8 ou 12.</translation>
    </message>
    <message>
        <source>Invalid schedule: weekday %1; use 1 (Monday) to 7 (Sunday).</source>
        <translation>Planification non valide : jour %1 ; utilisez 1 (lundi) à 7 (dimanche).</translation>
    </message>
</context>
<context>
    <name>ScheduleCalendar</name>
    <message>
        <source>systemd does not take “%1”: %2</source>
        <translation>systemd n’accepte pas « %1 » : %2</translation>
    </message>
</context>
<context>
    <name>ScheduleFollow</name>
    <message>
        <source>schedule installed for %1</source>
        <translation>planification installée pour %1</translation>
    </message>
    <message>
        <source>schedule removed for %1</source>
        <translation>planification retirée pour %1</translation>
    </message>
    <message>
        <source>tidewell: the schedule of %1 could not be installed: %2</source>
        <translation>tidewell : la planification de %1 n’a pas pu être installée : %2</translation>
    </message>
    <message>
        <source>tidewell: the schedule of %1 could not be removed: %2</source>
        <translation>tidewell : la planification de %1 n’a pas pu être retirée : %2</translation>
    </message>
</context>
<context>
    <name>ScheduleSection</name>
    <message>
        <source>Schedule</source>
        <translation>Planification</translation>
    </message>
    <message>
        <source>Run automatically every day</source>
        <translation>Exécuter automatiquement chaque jour</translation>
    </message>
    <message>
        <source>Time (HH:mm)</source>
        <translation>Heure (HH:mm)</translation>
    </message>
    <message>
        <source>the one in Settings</source>
        <translation>celle des paramètres</translation>
    </message>
    <message>
        <source>Pinged with /start, then itself after a success or /&lt;exit code&gt; after a failure</source>
        <translation>Appelée avec /start, puis telle quelle après une réussite ou avec /&lt;code&gt; après un échec</translation>
    </message>
    <message>
        <source>Health-check URL</source>
        <translation>URL de contrôle</translation>
    </message>
    <message>
        <source>Scheduling uses %1. When the scheduled time arrives, Tidewell runs in the background (no window shown).</source>
        <translation>La planification utilise %1. À l’heure prévue, Tidewell s’exécute en arrière-plan (sans fenêtre).</translation>
    </message>
    <message>
        <source>Next run: %1</source>
        <translation>Prochaine exécution&#xa0;: %1</translation>
    </message>
    <message>
        <source>How often</source>
        <translation>Fréquence</translation>
    </message>
    <message>
        <source>Interval</source>
        <translation>Intervalle</translation>
    </message>
    <message>
        <source>Day</source>
        <translation>Jour</translation>
    </message>
    <message>
        <source>Calendar</source>
        <translation>Calendrier</translation>
    </message>
    <message>
        <source>Every day</source>
        <translation>Tous les jours</translation>
    </message>
    <message>
        <source>Every few hours</source>
        <translation>Toutes les quelques heures</translation>
    </message>
    <message>
        <source>On weekdays</source>
        <translation>En semaine</translation>
    </message>
    <message>
        <source>Once a week</source>
        <translation>Une fois par semaine</translation>
    </message>
    <message>
        <source>Custom calendar</source>
        <translation>Calendrier personnalisé</translation>
    </message>
    <message numerus="yes">
        <source>every %n hour(s)</source>
        <translation>
            <numerusform>toutes les heures</numerusform>
            <numerusform>toutes les %n heures</numerusform>
        </translation>
    </message>
    <message>
        <source>A systemd calendar expression (see “man systemd.time”)</source>
        <translation>Une expression de calendrier systemd (voir « man systemd.time »)</translation>
    </message>
    <message>
        <source>Next: %1</source>
        <translation>Prochaines : %1</translation>
    </message>
    <message>
        <source>Run automatically</source>
        <translation>Exécuter automatiquement</translation>
    </message>
</context>
<context>
    <name>ScheduleStatus</name>
    <message>
        <source>No systemd user manager is running for this user; daily runs cannot start. Log in to a desktop session or enable lingering: loginctl enable-linger</source>
        <translation>Aucun gestionnaire utilisateur systemd ne tourne pour cet utilisateur&#xa0;; les exécutions quotidiennes ne peuvent pas démarrer. Ouvrez une session de bureau ou activez le lingering&#xa0;: loginctl enable-linger</translation>
    </message>
    <message>
        <source>The daily timer is not installed, so no run will start. Turn the schedule off and on again to install it.</source>
        <translation>Le minuteur quotidien n’est pas installé&#xa0;: aucune exécution ne démarrera. Désactivez puis réactivez la planification pour l’installer.</translation>
    </message>
    <message>
        <source>The daily timer has failed. Turn the schedule off and on again, or see systemctl --user status %1</source>
        <translation>Le minuteur quotidien a échoué. Désactivez puis réactivez la planification, ou voyez systemctl --user status %1</translation>
    </message>
    <message>
        <source>The daily timer is installed but not running. Turn the schedule off and on again to start it.</source>
        <translation>Le minuteur quotidien est installé mais inactif. Désactivez puis réactivez la planification pour le démarrer.</translation>
    </message>
    <message>
        <source>The systemd user manager did not answer about the daily timer: %1</source>
        <translation>Le gestionnaire utilisateur systemd n’a pas répondu au sujet du minuteur quotidien&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>Scheduler</name>
    <message>
        <source>Could not replace the link %1</source>
        <translation>Impossible de remplacer le lien %1</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>Impossible d’écrire %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Could not delete %1: %2</source>
        <translation>Impossible de supprimer %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Could not create the folder %1: %2</source>
        <translation>Impossible de créer le dossier %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>a systemd user timer</source>
        <translation>un minuteur utilisateur systemd</translation>
    </message>
</context>
<context>
    <name>SchedulerError</name>
    <message>
        <source>Invalid schedule time &apos;%1&apos;. Use HH:mm (24h).</source>
        <translation>Heure de planification «&#xa0;%1&#xa0;» invalide. Utilisez HH:mm (24 h).</translation>
    </message>
    <message>
        <source>%1 failed (%2): %3</source>
        <translation>Échec de %1 (%2)&#xa0;: %3</translation>
    </message>
    <message>
        <source>Could not locate the app executable to schedule.</source>
        <translation>Impossible de trouver le programme à planifier.</translation>
    </message>
    <message>
        <source>The systemd user manager refused: %1</source>
        <translation>Le gestionnaire utilisateur systemd a refusé&#xa0;: %1</translation>
    </message>
    <message>
        <source>A custom calendar needs systemd; choose another schedule.</source>
        <translation>Un calendrier personnalisé nécessite systemd ; choisissez une autre planification.</translation>
    </message>
    <message>
        <source>Backing up when the drive is connected needs systemd.</source>
        <translation>Sauvegarder au branchement du disque nécessite systemd.</translation>
    </message>
</context>
<context>
    <name>ServerCard</name>
    <message>
        <source>Host</source>
        <translation>Hôte</translation>
    </message>
    <message>
        <source>Last run</source>
        <translation>Dernière exécution</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Prochaine</translation>
    </message>
    <message>
        <source>Paths</source>
        <translation>Chemins</translation>
    </message>
    <message>
        <source>Run now</source>
        <translation>Exécuter</translation>
    </message>
    <message>
        <source>Configure</source>
        <translation>Configurer</translation>
    </message>
    <message>
        <source>The daily schedule does not work</source>
        <translation>La planification quotidienne ne fonctionne pas</translation>
    </message>
    <message>
        <source>never</source>
        <translation>jamais</translation>
    </message>
    <message>
        <source>Scheduled daily at %1</source>
        <translation>Planifiée chaque jour à %1</translation>
    </message>
    <message>
        <source>daily %1</source>
        <translation>chaque jour %1</translation>
    </message>
    <message>
        <source>Copies</source>
        <translation>Copies</translation>
    </message>
    <message>
        <source>The schedule does not work</source>
        <translation>La planification ne fonctionne pas</translation>
    </message>
    <message>
        <source>Scheduled %1</source>
        <translation>Planifiée : %1</translation>
    </message>
    <message>
        <source>Show backup</source>
        <translation>Afficher la sauvegarde</translation>
    </message>
    <message>
        <source>Waiting for a free slot…</source>
        <translation>En attente d’une place libre…</translation>
    </message>
</context>
<context>
    <name>ServerCheck</name>
    <message>
        <source>Refusing host name “%1”: it begins with “-” and would be read as an ssh option.</source>
        <translation>Nom d’hôte «&#xa0;%1&#xa0;» refusé&#xa0;: il commence par «&#xa0;-&#xa0;» et serait lu comme une option de ssh.</translation>
    </message>
    <message>
        <source>Refusing user name “%1”: it begins with “-” and would be read as an ssh option.</source>
        <translation>Nom d’utilisateur «&#xa0;%1&#xa0;» refusé&#xa0;: il commence par «&#xa0;-&#xa0;» et serait lu comme une option de ssh.</translation>
    </message>
    <message>
        <source>Refusing host name “%1”: it contains white space or control characters.</source>
        <translation>Nom d’hôte «&#xa0;%1&#xa0;» refusé&#xa0;: il contient des espaces ou des caractères de contrôle.</translation>
    </message>
    <message>
        <source>Refusing user name “%1”: it contains white space or control characters.</source>
        <translation>Nom d’utilisateur «&#xa0;%1&#xa0;» refusé&#xa0;: il contient des espaces ou des caractères de contrôle.</translation>
    </message>
    <message>
        <source>Refusing host name “%1”: no host name holds “%2”.</source>
        <translation>Nom d’hôte «&#xa0;%1&#xa0;» refusé&#xa0;: aucun nom d’hôte ne contient «&#xa0;%2&#xa0;».</translation>
    </message>
    <message>
        <source>Refusing user name “%1”: no user name holds “%2”.</source>
        <translation>Nom d’utilisateur «&#xa0;%1&#xa0;» refusé&#xa0;: aucun nom d’utilisateur ne contient «&#xa0;%2&#xa0;».</translation>
    </message>
    <message>
        <source>Servers “%1” and “%2” would share the backup folder “%3” — give them different names.</source>
        <translation>Les serveurs «&#xa0;%1&#xa0;» et «&#xa0;%2&#xa0;» partageraient le dossier de sauvegarde «&#xa0;%3&#xa0;» — donnez-leur des noms différents.</translation>
    </message>
    <message>
        <source>This server has no host — set it in this server&apos;s settings.</source>
        <translation>Ce serveur n’a pas d’hôte — indiquez-le dans les paramètres du serveur.</translation>
    </message>
    <message>
        <source>This server has no user name — set it in this server&apos;s settings.</source>
        <translation>Ce serveur n’a pas de nom d’utilisateur — indiquez-le dans les paramètres du serveur.</translation>
    </message>
    <message>
        <source>The ssh cipher list “%1” may hold only cipher names and commas.</source>
        <translation>La liste de chiffrements ssh «&#xa0;%1&#xa0;» ne peut contenir que des noms de chiffrements et des virgules.</translation>
    </message>
    <message>
        <source>The server&apos;s rsync “%1” must be a plain path such as /usr/bin/rsync.</source>
        <translation>Le rsync du serveur «&#xa0;%1&#xa0;» doit être un simple chemin comme /usr/bin/rsync.</translation>
    </message>
    <message>
        <source>Path “%1” has no remote path — set it in this server&apos;s settings or turn the path off.</source>
        <translation>Le chemin «&#xa0;%1&#xa0;» n’a pas de chemin distant — indiquez-le dans les paramètres du serveur ou désactivez le chemin.</translation>
    </message>
    <message>
        <source>Paths “%1” and “%2” would both be copied into the folder “%3” — give them different names.</source>
        <translation>Les chemins «&#xa0;%1&#xa0;» et «&#xa0;%2&#xa0;» seraient tous deux copiés dans le dossier «&#xa0;%3&#xa0;» — donnez-leur des noms différents.</translation>
    </message>
    <message>
        <source>The port in the configuration file is %1, not a whole number from 1 to 65535: this server is not backed up until it is corrected.</source>
        <translation>Le port dans le fichier de configuration vaut %1, pas un nombre entier de 1 à 65535 : ce serveur n’est pas sauvegardé tant que ce n’est pas corrigé.</translation>
    </message>
    <message>
        <source>“Use ssh-agent” in the configuration file is %1, not true or false: this server is not backed up until it is corrected.</source>
        <translation>« Utiliser ssh-agent » vaut %1 dans le fichier de configuration, pas true ou false : ce serveur n’est pas sauvegardé tant que ce n’est pas corrigé.</translation>
    </message>
    <message>
        <source>“%1” in the configuration file is %2, not a text: this server is not backed up until it is corrected.</source>
        <translation>« %1 » vaut %2 dans le fichier de configuration, pas un texte : ce serveur n’est pas sauvegardé tant que ce n’est pas corrigé.</translation>
    </message>
    <message>
        <source>The known host key “%1” is not one line of known_hosts (host, key type and key, as ssh-keyscan prints them).</source>
        <translation>La clé d’hôte connue « %1 » n’est pas une ligne de known_hosts (hôte, type et clé, comme ssh-keyscan les affiche).</translation>
    </message>
</context>
<context>
    <name>ServerCommand</name>
    <message>
        <source>added %1</source>
        <translation>%1 ajouté</translation>
    </message>
    <message>
        <source>changed %1: %2</source>
        <translation>%1 modifié : %2</translation>
    </message>
    <message>
        <source>%1: nothing to change</source>
        <translation>%1 : rien à changer</translation>
    </message>
    <message>
        <source>tidewell: nothing changed: %1</source>
        <translation>tidewell : rien n’a changé : %1</translation>
    </message>
    <message>
        <source>tidewell: the configuration could not be saved: %1</source>
        <translation>tidewell : la configuration n’a pas pu être enregistrée : %1</translation>
    </message>
    <message>
        <source>settings: nothing to change</source>
        <translation>réglages : rien à changer</translation>
    </message>
    <message>
        <source>changed settings: %1</source>
        <translation>réglages modifiés : %1</translation>
    </message>
    <message>
        <source>tidewell: %1 has %2 paths named “%3”: name it by its id</source>
        <translation>tidewell : %1 a %2 chemins nommés « %3 » : désignez-le par son identifiant</translation>
    </message>
    <message>
        <source>tidewell: %1 has no path “%2”; to add one, give its remotePath=</source>
        <translation>tidewell : %1 n’a pas de chemin « %2 » ; pour en ajouter un, donnez son remotePath=</translation>
    </message>
</context>
<context>
    <name>ServerDetailView</name>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Delete this server</source>
        <translation>Supprimer ce serveur</translation>
    </message>
    <message>
        <source>Open backups folder</source>
        <translation>Ouvrir le dossier des sauvegardes</translation>
    </message>
    <message>
        <source>Open this server&apos;s local backup folder (Ctrl+B)</source>
        <translation>Ouvrir le dossier local des sauvegardes de ce serveur (Ctrl+B)</translation>
    </message>
    <message>
        <source>Last log</source>
        <translation>Dernier journal</translation>
    </message>
    <message>
        <source>View log of last execution (Ctrl+L)</source>
        <translation>Voir le journal de la dernière exécution (Ctrl+L)</translation>
    </message>
    <message>
        <source>Run backup</source>
        <translation>Sauvegarder</translation>
    </message>
    <message>
        <source>Run backup (Ctrl+R)</source>
        <translation>Sauvegarder (Ctrl+R)</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Serveur</translation>
    </message>
    <message>
        <source>This server&apos;s host key is not trusted yet. Compare the fingerprint with what the server&apos;s administrator gave you and choose “Trust this host” before the first connection.</source>
        <translation>La clé d’hôte de ce serveur n’est pas encore approuvée. Comparez l’empreinte avec celle donnée par l’administrateur du serveur et choisissez «&#xa0;Approuver cet hôte&#xa0;» avant la première connexion.</translation>
    </message>
    <message>
        <source>Replace the stored host key?</source>
        <translation>Remplacer la clé d’hôte enregistrée ?</translation>
    </message>
    <message>
        <source>Replace the key you trusted for %1 by the one it presents now?</source>
        <translation>Remplacer la clé que vous avez approuvée pour %1 par celle qu’il présente maintenant ?</translation>
    </message>
    <message>
        <source>The server presents %1 %2.
You trusted %3 %4.
Replace it only when the server&apos;s administrator has confirmed the new key: otherwise someone may be listening in between.</source>
        <translation>Le serveur présente %1 %2.
Vous aviez approuvé %3 %4.
Ne la remplacez que si l’administrateur du serveur a confirmé la nouvelle clé : sinon quelqu’un écoute peut-être entre les deux.</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Remplacer</translation>
    </message>
</context>
<context>
    <name>ServerFields</name>
    <message>
        <source>%1 takes a whole number from %2 up, not “%3”</source>
        <translation>%1 prend un nombre entier à partir de %2, pas « %3 »</translation>
    </message>
    <message>
        <source>%1 takes a whole number from %2 to %3, not “%4”</source>
        <translation>%1 prend un nombre entier de %2 à %3, pas « %4 »</translation>
    </message>
    <message>
        <source>scheduleTime takes a time of day as HH:MM, not “%1”</source>
        <translation>scheduleTime prend une heure sous la forme HH:MM, pas « %1 »</translation>
    </message>
    <message>
        <source>%1 takes a JSON array of texts, not “%2”</source>
        <translation>%1 prend un tableau JSON de textes, pas « %2 »</translation>
    </message>
    <message>
        <source>“%1” is not KEY=VALUE</source>
        <translation>« %1 » n’est pas CLÉ=VALEUR</translation>
    </message>
    <message>
        <source>%1 takes true or false, not “%2”</source>
        <translation>%1 prend true ou false, pas « %2 »</translation>
    </message>
    <message>
        <source>“%1” is not a key that can be set; these can: %2</source>
        <translation>« %1 » n’est pas une clé modifiable ; celles-ci le sont : %2</translation>
    </message>
    <message>
        <source>%1 changed</source>
        <translation>%1 modifié</translation>
    </message>
    <message>
        <source>path “%1” added</source>
        <translation>chemin « %1 » ajouté</translation>
    </message>
    <message>
        <source>path “%1” removed</source>
        <translation>chemin « %1 » retiré</translation>
    </message>
    <message>
        <source>scheduleKind takes daily, hours, weekdays, weekly or custom, not “%1”</source>
        <translation>scheduleKind accepte daily, hours, weekdays, weekly ou custom, pas « %1 »</translation>
    </message>
    <message>
        <source>scheduleEveryHours takes 1, 2, 3, 4, 6, 8 or 12, not “%1”</source>
        <translation>scheduleEveryHours accepte 1, 2, 3, 4, 6, 8 ou 12, pas « %1 »</translation>
    </message>
    <message>
        <source>scheduleCalendar takes a systemd calendar expression (letters, digits, blanks and * , . : / ~ + - _), not “%1”</source>
        <translation>scheduleCalendar accepte une expression de calendrier systemd (lettres, chiffres, espaces et * , . : / ~ + - _), pas « %1 »</translation>
    </message>
    <message>
        <source>snapshotMethod takes auto, hardlinks or btrfs, not “%1”</source>
        <translation>snapshotMethod prend auto, hardlinks ou btrfs, pas «&#xa0;%1&#xa0;»</translation>
    </message>
</context>
<context>
    <name>ServerListModel</name>
    <message>
        <source>running…</source>
        <translation>en cours…</translation>
    </message>
    <message>
        <source>waiting for a free slot…</source>
        <translation>en attente d’une place libre…</translation>
    </message>
</context>
<context>
    <name>ServerReference</name>
    <message>
        <source>tidewell: no server %1 in the configuration</source>
        <translation>tidewell : aucun serveur %1 dans la configuration</translation>
    </message>
    <message>
        <source>tidewell: “%1” names %2 servers: %3; give the one you mean by its id</source>
        <translation>tidewell : « %1 » désigne %2 serveurs : %3 ; donnez celui que vous voulez par son identifiant</translation>
    </message>
    <message>
        <source>tidewell: no server is named “%1”; similar: %2</source>
        <translation>tidewell : aucun serveur ne s’appelle « %1 » ; semblables : %2</translation>
    </message>
    <message>
        <source>tidewell: no server is named “%1” (tidewell --status lists them)</source>
        <translation>tidewell : aucun serveur ne s’appelle « %1 » (tidewell --status les liste)</translation>
    </message>
</context>
<context>
    <name>ServerRestore</name>
    <message>
        <source>%1 file(s) would be created, %2 would be replaced</source>
        <translation>%1 fichier(s) seraient créés, %2 remplacés</translation>
    </message>
    <message>
        <source>The folder %1 is not on the server yet: it will be made.</source>
        <translation>Le dossier %1 n’existe pas encore sur le serveur : il sera créé.</translation>
    </message>
</context>
<context>
    <name>ServerRowDelegate</name>
    <message>
        <source>Backing up now</source>
        <translation>Sauvegarde en cours</translation>
    </message>
    <message>
        <source>Run backup (Ctrl+R)</source>
        <translation>Sauvegarder (Ctrl+R)</translation>
    </message>
    <message>
        <source>Backing up now: click to show the backup</source>
        <translation>Sauvegarde en cours&#xa0;: cliquez pour l’afficher</translation>
    </message>
</context>
<context>
    <name>ServerRules</name>
    <message>
        <source>(untitled)</source>
        <translation>(sans nom)</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copie</translation>
    </message>
    <message>
        <source>%1 (copy)</source>
        <translation>%1 (copie)</translation>
    </message>
    <message>
        <source>Overdue · no good backup yet</source>
        <translation>En retard · aucune bonne sauvegarde pour l’instant</translation>
    </message>
    <message>
        <source>Overdue · last good backup %1</source>
        <translation>En retard · dernière bonne sauvegarde %1</translation>
    </message>
    <message>
        <source>Running now</source>
        <translation>En cours</translation>
    </message>
    <message>
        <source>Last run failed (exit %1)</source>
        <translation>Échec de la dernière exécution (code %1)</translation>
    </message>
    <message>
        <source>Last run cancelled · last good backup %1</source>
        <translation>Dernière exécution annulée · dernière bonne sauvegarde %1</translation>
    </message>
    <message>
        <source>Last run cancelled</source>
        <translation>Dernière exécution annulée</translation>
    </message>
    <message>
        <source>Never ran</source>
        <translation>Jamais exécuté</translation>
    </message>
    <message>
        <source>Healthy · %1</source>
        <translation>En bon état · %1</translation>
    </message>
    <message>
        <source>Healthy</source>
        <translation>En bon état</translation>
    </message>
    <message>
        <source>%1 enabled / %2</source>
        <translation>%1 actif(s) / %2</translation>
    </message>
    <message>
        <source>New Server</source>
        <translation>Nouveau serveur</translation>
    </message>
    <message>
        <source>%1 % of the files changed · old backups kept</source>
        <translation>%1 % des fichiers changés · anciennes sauvegardes gardées</translation>
    </message>
    <message numerus="yes">
        <source>%n damaged file(s) in the backups</source>
        <translation>
            <numerusform>%n fichier endommagé dans les sauvegardes</numerusform>
            <numerusform>%n fichiers endommagés dans les sauvegardes</numerusform>
        </translation>
    </message>
    <message>
        <source>every %1 hours from %2</source>
        <translation>toutes les %1 heures à partir de %2</translation>
    </message>
    <message>
        <source>weekdays at %1</source>
        <translation>en semaine à %1</translation>
    </message>
    <message>
        <source>weekly on %1 at %2</source>
        <translation>chaque semaine le %1 à %2</translation>
    </message>
    <message>
        <source>custom: %1</source>
        <translation>personnalisé : %1</translation>
    </message>
    <message>
        <source>daily at %1</source>
        <translation>tous les jours à %1</translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>Tidewell Settings</source>
        <translation>Paramètres de Tidewell</translation>
    </message>
    <message>
        <source>Local destination</source>
        <translation>Destination locale</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Dossier</translation>
    </message>
    <message>
        <source>Create date subfolder (YYYY-MM-DD)</source>
        <translation>Créer un sous-dossier daté (AAAA-MM-JJ)</translation>
    </message>
    <message>
        <source>Store unchanged files once (hard links to the previous day)</source>
        <translation>Stocker une seule fois les fichiers inchangés (liens physiques vers la veille)</translation>
    </message>
    <message>
        <source>Only back up when this drive is connected</source>
        <translation>Ne sauvegarder que si ce disque est branché</translation>
    </message>
    <message>
        <source>Runs write only into a destination that holds the file %1, which is put there now. A drive that is not connected leaves an empty folder on this computer&apos;s disk; nothing is copied into it.</source>
        <translation>Les exécutions n’écrivent que dans une destination contenant le fichier %1, qui y est placé maintenant. Un disque débranché laisse un dossier vide sur le disque de cet ordinateur&#xa0;; rien n’y est copié.</translation>
    </message>
    <message>
        <source>rsync options</source>
        <translation>Options de rsync</translation>
    </message>
    <message>
        <source>Compress during transfer (-z)</source>
        <translation>Compresser pendant le transfert (-z)</translation>
    </message>
    <message>
        <source>Delete local files no longer on server (--delete)</source>
        <translation>Supprimer les fichiers locaux absents du serveur (--delete)</translation>
    </message>
    <message>
        <source>Tip: --delete makes the local copy a mirror. Leave off if you want to preserve old files locally (e.g. historical DB snapshots).</source>
        <translation>Astuce&#xa0;: --delete fait de la copie locale un miroir. Laissez-le désactivé pour conserver localement d’anciens fichiers (p. ex. d’anciens instantanés de base de données).</translation>
    </message>
    <message>
        <source>Reliability</source>
        <translation>Fiabilité</translation>
    </message>
    <message>
        <source>disabled</source>
        <translation>désactivé</translation>
    </message>
    <message>
        <source>never</source>
        <translation>jamais</translation>
    </message>
    <message>
        <source>Retry attempts on transient errors</source>
        <translation>Nouvelles tentatives en cas d’erreur passagère</translation>
    </message>
    <message>
        <source>Minimum free space (GB)</source>
        <translation>Espace libre minimal (Go)</translation>
    </message>
    <message>
        <source>Stop a transfer after N seconds without data</source>
        <translation>Arrêter un transfert après N secondes sans données</translation>
    </message>
    <message>
        <source>Scheduled and window runs together; the others wait for a free slot</source>
        <translation>Exécutions planifiées et lancées depuis la fenêtre ensemble&#xa0;; les autres attendent une place libre</translation>
    </message>
    <message>
        <source>Backups running at once</source>
        <translation>Sauvegardes simultanées</translation>
    </message>
    <message>
        <source>Backups retry automatically on transient rsync errors (network drops, partial transfers, interrupted signals) with exponential backoff. Free space is checked at the destination volume before each run; 0 disables the check.</source>
        <translation>Les sauvegardes sont relancées automatiquement, avec des pauses croissantes, en cas d’erreur passagère de rsync (coupures réseau, transferts partiels, signaux d’interruption). L’espace libre de la destination est vérifié avant chaque exécution&#xa0;; 0 désactive la vérification.</translation>
    </message>
    <message>
        <source>Scheduled runs and the network</source>
        <translation>Exécutions planifiées et réseau</translation>
    </message>
    <message>
        <source>don&apos;t wait</source>
        <translation>ne pas attendre</translation>
    </message>
    <message>
        <source>Don&apos;t run scheduled backups on metered connections (phone hotspots)</source>
        <translation>Pas de sauvegarde planifiée sur connexion limitée (téléphone)</translation>
    </message>
    <message>
        <source>Wait for the network up to</source>
        <translation>Attendre le réseau jusqu’à</translation>
    </message>
    <message>
        <source>on time</source>
        <translation>à l’heure</translation>
    </message>
    <message>
        <source>Each scheduled run starts at a random moment within this many minutes after its time</source>
        <translation>Chaque exécution planifiée démarre à un moment aléatoire dans ce nombre de minutes après son heure</translation>
    </message>
    <message>
        <source>Spread scheduled runs over</source>
        <translation>Étaler les exécutions planifiées sur</translation>
    </message>
    <message>
        <source>A scheduled run first asks NetworkManager: while the network is down it waits, then goes on anyway; on a metered connection it is skipped and tried again the next day. Runs you start yourself are never held or skipped.</source>
        <translation>Une exécution planifiée interroge d’abord NetworkManager&#xa0;: tant que le réseau est coupé, elle attend, puis continue quand même&#xa0;; sur une connexion limitée, elle est sautée et retentée le lendemain. Les exécutions que vous lancez vous-même ne sont jamais retenues ni sautées.</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>Notifications</translation>
    </message>
    <message>
        <source>Show a notification when a backup finishes</source>
        <translation>Afficher une notification à la fin d’une sauvegarde</translation>
    </message>
    <message>
        <source>Uses your desktop&apos;s notification service (org.freedesktop.Notifications). You may need to allow notifications for Tidewell in your desktop&apos;s notification settings.</source>
        <translation>Utilise le service de notifications de votre bureau (org.freedesktop.Notifications). Il faudra peut-être autoriser les notifications de Tidewell dans les paramètres de votre bureau.</translation>
    </message>
    <message>
        <source>Reports beyond the desktop</source>
        <translation>Rapports au-delà du bureau</translation>
    </message>
    <message>
        <source>Every run (not only failures)</source>
        <translation>Chaque exécution (pas seulement les échecs)</translation>
    </message>
    <message>
        <source>Health-check URL</source>
        <translation>URL de contrôle</translation>
    </message>
    <message>
        <source>Webhook URL</source>
        <translation>URL du webhook</translation>
    </message>
    <message>
        <source>E-mail to</source>
        <translation>Courriel à</translation>
    </message>
    <message>
        <source>The health-check URL gets /start when a run starts, then itself after a success or /&lt;exit code&gt; after a failure, with the end of the log (a server&apos;s own URL, in its editor, replaces it). The webhook gets a JSON document for every run. Mail goes through this computer&apos;s sendmail. Only https, or http to this computer; the addresses are left out of exports unless you ask.</source>
        <translation>L’URL de contrôle est appelée avec /start au début d’une exécution, puis telle quelle après une réussite ou avec /&lt;code&gt; après un échec, avec la fin du journal (l’URL propre à un serveur, dans son éditeur, la remplace). Le webhook reçoit un document JSON pour chaque exécution. Le courriel passe par le sendmail de cet ordinateur. Uniquement https, ou http vers cet ordinateur&#xa0;; les adresses sont omises des exportations sauf si vous le demandez.</translation>
    </message>
    <message>
        <source>Import / Export</source>
        <translation>Importer / Exporter</translation>
    </message>
    <message>
        <source>Export configuration…</source>
        <translation>Exporter la configuration…</translation>
    </message>
    <message>
        <source>Import configuration…</source>
        <translation>Importer la configuration…</translation>
    </message>
    <message>
        <source>Include report addresses</source>
        <translation>Inclure les adresses de rapport</translation>
    </message>
    <message>
        <source>Health-check and webhook URLs may hold secret tokens: leave this off to share the export.</source>
        <translation>Les URL de contrôle et de webhook peuvent contenir des jetons secrets&#xa0;: laissez ceci désactivé pour partager l’exportation.</translation>
    </message>
    <message>
        <source>Details…</source>
        <translation>Détails…</translation>
    </message>
    <message>
        <source>Schedules not installed</source>
        <translation>Planifications non installées</translation>
    </message>
    <message>
        <source>Exports every server (including schedules and retention) as JSON. Importing replaces your current configuration — export a backup first if you want to keep it.</source>
        <translation>Exporte tous les serveurs (avec planification et conservation) en JSON. Une importation remplace votre configuration actuelle — exportez-la d’abord si vous voulez la garder.</translation>
    </message>
    <message>
        <source>Config file</source>
        <translation>Fichier de configuration</translation>
    </message>
    <message>
        <source>Reveal</source>
        <translation>Afficher</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1&#xa0;: %2</translation>
    </message>
    <message>
        <source>No mail is sent: %1 is missing (install a mail transfer agent such as postfix or dma).</source>
        <translation>Aucun courriel n’est envoyé&#xa0;: %1 est absent (installez un agent de transfert de courriel comme postfix ou dma).</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Choisir</translation>
    </message>
    <message>
        <source>Export Tidewell configuration</source>
        <translation>Exporter la configuration de Tidewell</translation>
    </message>
    <message>
        <source>Save all servers and settings as JSON.</source>
        <translation>Enregistrer tous les serveurs et paramètres en JSON.</translation>
    </message>
    <message>
        <source>JSON (*.json)</source>
        <translation>JSON (*.json)</translation>
    </message>
    <message>
        <source>Import Tidewell configuration</source>
        <translation>Importer la configuration de Tidewell</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Remplacer</translation>
    </message>
    <message>
        <source>Importing…</source>
        <translation>Importation…</translation>
    </message>
    <message>
        <source>Installing schedules: %1 of %2…</source>
        <translation>Installation des planifications&#xa0;: %1 sur %2…</translation>
    </message>
    <message>
        <source>A run that finds more of the previous day&apos;s files changed or gone (ransomware, a missing mount) keeps every old backup until you confirm the change</source>
        <translation>Une exécution qui trouve davantage de fichiers de la veille changés ou disparus (rançongiciel, montage absent) garde toutes les anciennes sauvegardes jusqu’à ce que vous confirmiez le changement</translation>
    </message>
    <message>
        <source>Keep old backups when more files change than</source>
        <translation>Garder les anciennes sauvegardes si plus de fichiers changent que</translation>
    </message>
    <message>
        <source>After each scheduled backup, this share of the server&apos;s copies is read and compared with its fingerprints: 1/30 reads every copy once a month</source>
        <translation>Après chaque sauvegarde planifiée, cette part des copies du serveur est lue et comparée à ses empreintes : 1/30 lit chaque copie une fois par mois</translation>
    </message>
    <message>
        <source>Check a part of every backup each day</source>
        <translation>Vérifier une part des copies chaque jour</translation>
    </message>
    <message>
        <source>Second copies</source>
        <translation>Secondes copies</translation>
    </message>
    <message>
        <source>On battery, skip scheduled runs below</source>
        <translation>Sur batterie, sauter les exécutions planifiées sous</translation>
    </message>
    <message>
        <source>Wait for mains power up to</source>
        <translation>Attendre le secteur jusqu’à</translation>
    </message>
    <message>
        <source>On a low battery a scheduled run waits for mains power, then is skipped; the next run catches up. While any backup runs, the computer does not go to sleep by itself (closing a laptop&apos;s lid still suspends it).</source>
        <translation>Sur batterie faible, une exécution planifiée attend le secteur, puis est sautée ; la suivante rattrape. Tant qu’une sauvegarde tourne, l’ordinateur ne se met pas en veille de lui-même (fermer le couvercle d’un portable le met toujours en veille).</translation>
    </message>
    <message>
        <source>Also back up when this drive is connected</source>
        <translation>Sauvegarder aussi quand ce disque est branché</translation>
    </message>
    <message>
        <source>When the drive is mounted, systemd starts the scheduled backups that have no good backup for their period (no udev rule, nothing runs as root)</source>
        <translation>Quand le disque est monté, systemd lance les sauvegardes planifiées sans bonne sauvegarde sur leur période (aucune règle udev, rien ne tourne en root)</translation>
    </message>
    <message>
        <source>%1 is not on a drive of its own; connect the drive first.</source>
        <translation>%1 n’est pas sur un disque à part ; branchez d’abord le disque.</translation>
    </message>
    <message>
        <source>Encrypted (gocryptfs): the copies are seen in the clear only while a run, check or restore works in them. Passphrase: %1</source>
        <translation>Chiffré (gocryptfs)&#xa0;: les copies ne sont lisibles en clair que pendant qu’une sauvegarde, une vérification ou une restauration y travaille. Phrase secrète&#xa0;: %1</translation>
    </message>
    <message>
        <source>not set</source>
        <translation>non définie</translation>
    </message>
    <message>
        <source>Encrypt backups in this folder…</source>
        <translation>Chiffrer les sauvegardes de ce dossier…</translation>
    </message>
</context>
<context>
    <name>SnapshotTreeModel</name>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Taille</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Modifié</translation>
    </message>
    <message>
        <source>%1 (no path of this server writes here now)</source>
        <translation>%1 (aucun chemin de ce serveur n’écrit plus ici)</translation>
    </message>
</context>
<context>
    <name>StatusReport</name>
    <message>
        <source>No servers configured.</source>
        <translation>Aucun serveur configuré.</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>bon</translation>
    </message>
    <message>
        <source>pending</source>
        <translation>en attente</translation>
    </message>
    <message>
        <source>failing</source>
        <translation>en échec</translation>
    </message>
    <message>
        <source>overdue</source>
        <translation>en retard</translation>
    </message>
    <message>
        <source>never run</source>
        <translation>jamais exécuté</translation>
    </message>
    <message>
        <source>not scheduled</source>
        <translation>non planifié</translation>
    </message>
    <message>
        <source>never</source>
        <translation>jamais</translation>
    </message>
    <message>
        <source>%1 (exit %2)</source>
        <translation>%1 (code %2)</translation>
    </message>
    <message>
        <source>%1 (cancelled)</source>
        <translation>%1 (annulée)</translation>
    </message>
    <message>
        <source>%1: %2; last run %3; last success %4; next run %5</source>
        <translation>%1&#xa0;: %2&#xa0;; dernière exécution %3&#xa0;; dernière réussite %4&#xa0;; prochaine exécution %5</translation>
    </message>
    <message>
        <source>none</source>
        <translation>aucune</translation>
    </message>
    <message>
        <source>not installed</source>
        <translation>non installé</translation>
    </message>
    <message>
        <source>schedule cannot run</source>
        <translation>la planification ne peut pas s’exécuter</translation>
    </message>
    <message>
        <source>mass change</source>
        <translation>changement massif</translation>
    </message>
    <message>
        <source>damaged</source>
        <translation>endommagé</translation>
    </message>
    <message numerus="yes">
        <source>backups checked %1: %n damaged file(s)</source>
        <translation>
            <numerusform>sauvegardes vérifiées %1 : %n fichier endommagé</numerusform>
            <numerusform>sauvegardes vérifiées %1 : %n fichiers endommagés</numerusform>
        </translation>
    </message>
    <message>
        <source>not copied to %1 yet</source>
        <translation>pas encore copié vers %1</translation>
    </message>
    <message>
        <source>copied to %1: up to %2</source>
        <translation>copié vers %1 : jusqu’au %2</translation>
    </message>
    <message numerus="yes">
        <source>%n day(s) behind</source>
        <translation>
            <numerusform>%n jour de retard</numerusform>
            <numerusform>%n jours de retard</numerusform>
        </translation>
    </message>
    <message>
        <source>last copy to %1: %2</source>
        <translation>dernière copie vers %1 : %2</translation>
    </message>
</context>
<context>
    <name>SudoCheck</name>
    <message>
        <source>Could not ask the server about sudo: %1</source>
        <translation>Impossible d’interroger le serveur sur sudo&#xa0;: %1</translation>
    </message>
    <message>
        <source>sudo runs %1 on the server without a password.</source>
        <translation>sudo exécute %1 sur le serveur sans mot de passe.</translation>
    </message>
    <message>
        <source>The server has no sudo: install it, or turn off “Run with sudo on the server”.</source>
        <translation>Le serveur n’a pas sudo&#xa0;: installez-le, ou désactivez «&#xa0;Exécuter avec sudo sur le serveur&#xa0;».</translation>
    </message>
    <message>
        <source>sudo on the server would not run rsync without a password. Add this line on the server with “visudo -f /etc/sudoers.d/tidewell”:</source>
        <translation>sudo sur le serveur n’exécuterait pas rsync sans mot de passe. Ajoutez cette ligne sur le serveur avec «&#xa0;visudo -f /etc/sudoers.d/tidewell&#xa0;»&#xa0;:</translation>
    </message>
    <message>
        <source>sudo on the server would not run rsync without a password (%1). Add this line on the server with “visudo -f /etc/sudoers.d/tidewell”:</source>
        <translation>sudo sur le serveur n’exécuterait pas rsync sans mot de passe (%1). Ajoutez cette ligne sur le serveur avec «&#xa0;visudo -f /etc/sudoers.d/tidewell&#xa0;»&#xa0;:</translation>
    </message>
</context>
<context>
    <name>TidewellApp</name>
    <message numerus="yes">
        <source>%n daily schedule(s) now start within %1 minutes of their time.</source>
        <translation>
            <numerusform>%n planification quotidienne démarre désormais dans les %1 minutes suivant son heure.</numerusform>
            <numerusform>%n planifications quotidiennes démarrent désormais dans les %1 minutes suivant leur heure.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n daily schedule(s) now start on time.</source>
        <translation>
            <numerusform>%n planification quotidienne démarre désormais à l’heure.</numerusform>
            <numerusform>%n planifications quotidiennes démarrent désormais à l’heure.</numerusform>
        </translation>
    </message>
    <message>
        <source>Quit Tidewell</source>
        <translation>Quitter Tidewell</translation>
    </message>
    <message>
        <source>The backup stops, its log is written and its result recorded before Tidewell quits.</source>
        <translation>La sauvegarde s’arrête, son journal est écrit et son résultat enregistré avant que Tidewell ne quitte.</translation>
    </message>
    <message>
        <source>Cancel Backup and Quit</source>
        <translation>Annuler la sauvegarde et quitter</translation>
    </message>
    <message numerus="yes">
        <source>Updated %n daily schedule(s) to start %1.</source>
        <translation>
            <numerusform>%n planification quotidienne lance désormais %1.</numerusform>
            <numerusform>%n planifications quotidiennes lancent désormais %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Could not update %1 schedule(s): %2 (and %n more)</source>
        <translation>
            <numerusform>Impossible de mettre à jour %1 planifications&#xa0;: %2 (et %n autre)</numerusform>
            <numerusform>Impossible de mettre à jour %1 planifications&#xa0;: %2 (et %n autres)</numerusform>
        </translation>
    </message>
    <message>
        <source>Could not update %1 schedule(s): %2</source>
        <translation>Impossible de mettre à jour %1 planification&#xa0;: %2</translation>
    </message>
    <message>
        <source>A backup of “%1” is running. Cancel it and quit?</source>
        <translation>Une sauvegarde de «&#xa0;%1&#xa0;» est en cours. L’annuler et quitter&#xa0;?</translation>
    </message>
    <message>
        <source>Tidewell quits when the backup of %1 has finished.</source>
        <translation>Tidewell se ferme dès que la sauvegarde de %1 est terminée.</translation>
    </message>
    <message>
        <source>“%1”</source>
        <comment>a server&apos;s name quoted in a sentence</comment>
        <translation>«&#xa0;%1&#xa0;»</translation>
    </message>
    <message numerus="yes">
        <source>%n backups are running. Cancel them and quit?</source>
        <translation>
            <numerusform>%n sauvegarde est en cours. L’annuler et quitter&#xa0;?</numerusform>
            <numerusform>%n sauvegardes sont en cours. Les annuler et quitter&#xa0;?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n backups are running: %1. Cancel them and quit?</source>
        <translation>
            <numerusform>%n sauvegarde est en cours&#xa0;: %1. L’annuler et quitter&#xa0;?</numerusform>
            <numerusform>%n sauvegardes sont en cours&#xa0;: %1. Les annuler et quitter&#xa0;?</numerusform>
        </translation>
    </message>
    <message>
        <source>The backups stop, their logs are written and their results recorded before Tidewell quits.</source>
        <translation>Les sauvegardes s’arrêtent, leurs journaux sont écrits et leurs résultats enregistrés avant que Tidewell ne quitte.</translation>
    </message>
    <message>
        <source>Cancel Backups and Quit</source>
        <translation>Annuler les sauvegardes et quitter</translation>
    </message>
    <message numerus="yes">
        <source>Tidewell quits when %n backups have finished.</source>
        <translation>
            <numerusform>Tidewell se ferme dès que %n sauvegarde est terminée.</numerusform>
            <numerusform>Tidewell se ferme dès que %n sauvegardes sont terminées.</numerusform>
        </translation>
    </message>
    <message>
        <source>Tidewell quits when the backups of %1 have finished.</source>
        <translation>Tidewell se ferme dès que les sauvegardes de %1 sont terminées.</translation>
    </message>
</context>
<context>
    <name>VersionsDialog</name>
    <message>
        <source>Versions of %1</source>
        <translation>Versions de %1</translation>
    </message>
    <message>
        <source>Backed up</source>
        <translation>Sauvegardé</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Taille</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Modifié</translation>
    </message>
    <message>
        <source>Backups</source>
        <translation>Sauvegardes</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 à %2</translation>
    </message>
    <message>
        <source>folder</source>
        <translation>dossier</translation>
    </message>
    <message>
        <source>Backups that hold the same file (or one of the same size and time) hold one version. Incomplete backups are not listed.</source>
        <translation>Les sauvegardes qui contiennent le même fichier (ou un fichier de même taille et même date) forment une version. Les sauvegardes incomplètes ne sont pas listées.</translation>
    </message>
    <message>
        <source>Restore to this computer…</source>
        <translation>Restaurer sur cet ordinateur…</translation>
    </message>
    <message>
        <source>Restore to the server…</source>
        <translation>Restaurer sur le serveur…</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Versions</source>
        <translation>Versions</translation>
    </message>
    <message>
        <source>Show changes…</source>
        <translation>Afficher les modifications…</translation>
    </message>
    <message>
        <source>What changed in this version since the one before it</source>
        <translation>Ce qui a changé dans cette version depuis la précédente</translation>
    </message>
    <message>
        <source>Backups that hold the same file (or one of the same size, time and content fingerprint) hold one version. Incomplete backups are not listed.</source>
        <translation>Les sauvegardes qui contiennent le même fichier (ou un fichier de même taille, même date et même empreinte du contenu) forment une version. Les sauvegardes incomplètes ne sont pas listées.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>tidewell: no display: use --run-backup, --status or --help on a machine without a desktop.
</source>
        <translation>tidewell : aucun affichage : sur une machine sans bureau, utilisez --run-backup, --status ou --help.
</translation>
    </message>
</context>
</TS>
