<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>CompareDialog</name>
    <message numerus="yes">
        <source>%n file(s) compared.</source>
        <translation>
            <numerusform>%n file(s) compared.</numerusform>
            <numerusform>%n file(s) compared.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ConfigTransfer</name>
    <message numerus="yes">
        <source>“%1” contains %n server(s). This will replace your current configuration. Scheduled backups will be re-synced to match.</source>
        <translation>
            <numerusform>“%1” contains %n server(s). This will replace your current configuration. Scheduled backups will be re-synced to match.</numerusform>
            <numerusform>“%1” contains %n server(s). This will replace your current configuration. Scheduled backups will be re-synced to match.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Imported %n server(s) from %1</source>
        <translation>
            <numerusform>Imported %n server(s) from %1</numerusform>
            <numerusform>Imported %n server(s) from %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n server(s) repeated another server&apos;s id and were given a new one)</source>
        <translation>
            <numerusform>%1 (%n server(s) repeated another server&apos;s id and were given a new one)</numerusform>
            <numerusform>%1 (%n server(s) repeated another server&apos;s id and were given a new one)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, but %n schedule(s) not installed: %2</source>
        <translation>
            <numerusform>%1, but %n schedule was not installed: %2</numerusform>
            <numerusform>%1, but %n schedules were not installed: %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n for other reasons)</source>
        <translation>
            <numerusform>%1 (%n for other reasons)</numerusform>
            <numerusform>%1 (%n for other reasons)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CopyTargetsSection</name>
    <message numerus="yes">
        <source>(%n day(s) behind)</source>
        <translation>
            <numerusform>(%n day behind)</numerusform>
            <numerusform>(%n days behind)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DashboardView</name>
    <message numerus="yes">
        <source>(%n day(s) behind)</source>
        <translation>
            <numerusform>(%n day behind)</numerusform>
            <numerusform>(%n days behind)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>EntryPoint</name>
    <message numerus="yes">
        <source>tidewell: unknown option(s) %1 ignored (see tidewell --help)</source>
        <translation>
            <numerusform>tidewell: unknown option %1 ignored (see tidewell --help)</numerusform>
            <numerusform>tidewell: unknown options %1 ignored (see tidewell --help)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Formatting</name>
    <message numerus="yes">
        <source>%n year(s) ago</source>
        <translation>
            <numerusform>%n year ago</numerusform>
            <numerusform>%n years ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n year(s)</source>
        <translation>
            <numerusform>in %n year</numerusform>
            <numerusform>in %n years</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n month(s) ago</source>
        <translation>
            <numerusform>%n month ago</numerusform>
            <numerusform>%n months ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n month(s)</source>
        <translation>
            <numerusform>in %n month</numerusform>
            <numerusform>in %n months</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n week(s) ago</source>
        <translation>
            <numerusform>%n week ago</numerusform>
            <numerusform>%n weeks ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n week(s)</source>
        <translation>
            <numerusform>in %n week</numerusform>
            <numerusform>in %n weeks</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n day(s) ago</source>
        <translation>
            <numerusform>%n day ago</numerusform>
            <numerusform>%n days ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n day(s)</source>
        <translation>
            <numerusform>in %n day</numerusform>
            <numerusform>in %n days</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hour(s) ago</source>
        <translation>
            <numerusform>%n hour ago</numerusform>
            <numerusform>%n hours ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n hour(s)</source>
        <translation>
            <numerusform>in %n hour</numerusform>
            <numerusform>in %n hours</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minute(s) ago</source>
        <translation>
            <numerusform>%n minute ago</numerusform>
            <numerusform>%n minutes ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n minute(s)</source>
        <translation>
            <numerusform>in %n minute</numerusform>
            <numerusform>in %n minutes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n second(s) ago</source>
        <translation>
            <numerusform>%n second ago</numerusform>
            <numerusform>%n seconds ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n second(s)</source>
        <translation>
            <numerusform>in %n second</numerusform>
            <numerusform>in %n seconds</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HeadlessRunner</name>
    <message numerus="yes">
        <source>%n damaged file(s) in the backups: %1</source>
        <translation>
            <numerusform>%n damaged file in the backups: %1</numerusform>
            <numerusform>%n damaged files in the backups: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) differ from the server though size and time agree: %1</source>
        <translation>
            <numerusform>%n file differs from the server though size and time agree: %1</numerusform>
            <numerusform>%n files differ from the server though size and time agree: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LastRunSection</name>
    <message numerus="yes">
        <source>%1 · %n damaged file(s): see tidewell --verify</source>
        <translation>
            <numerusform>%1 · %n damaged file: see tidewell --verify</numerusform>
            <numerusform>%1 · %n damaged files: see tidewell --verify</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 · %n file(s) differ though size and time agree: see tidewell --verify-remote</source>
        <translation>
            <numerusform>%1 · %n file differs though size and time agree: see tidewell --verify-remote</numerusform>
            <numerusform>%1 · %n files differ though size and time agree: see tidewell --verify-remote</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message numerus="yes">
        <source>%1: %2 (and %n more)</source>
        <translation>
            <numerusform>%1: %2 (and %n more)</numerusform>
            <numerusform>%1: %2 (and %n more)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MenuBarContent</name>
    <message numerus="yes">
        <source>and %n more…</source>
        <translation>
            <numerusform>and %n more…</numerusform>
            <numerusform>and %n more…</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>OverdueWatch</name>
    <message numerus="yes">
        <source>⚠ %1 — no successful backup for %n day(s)</source>
        <translation>
            <numerusform>⚠ %1 — no successful backup for %n day</numerusform>
            <numerusform>⚠ %1 — no successful backup for %n days</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>⚠ %n server(s) need attention</source>
        <translation>
            <numerusform>⚠ %n server needs attention</numerusform>
            <numerusform>⚠ %n servers need attention</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n more</source>
        <translation>
            <numerusform>%1 and %n more</numerusform>
            <numerusform>%1 and %n more</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PreviewDialog</name>
    <message numerus="yes">
        <source>A run would copy %n file(s)</source>
        <translation>
            <numerusform>A run would copy %n file(s)</numerusform>
            <numerusform>A run would copy %n file(s)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 and take %n unchanged file(s) from the snapshot of %2</source>
        <translation>
            <numerusform>%1 and take %n unchanged file(s) from the snapshot of %2</numerusform>
            <numerusform>%1 and take %n unchanged file(s) from the snapshot of %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1; %n file(s) in the destination are up to date</source>
        <translation>
            <numerusform>%1; %n file(s) in the destination are up to date</numerusform>
            <numerusform>%1; %n file(s) in the destination are up to date</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1; %n item(s) left out by exclude patterns.</source>
        <translation>
            <numerusform>%1; %n item(s) left out by exclude patterns.</numerusform>
            <numerusform>%1; %n item(s) left out by exclude patterns.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RestoreView</name>
    <message numerus="yes">
        <source>%n found.</source>
        <translation>
            <numerusform>%n found.</numerusform>
            <numerusform>%n found.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cancelled: %n file(s) had been restored to %1.</source>
        <translation>
            <numerusform>Cancelled: %n file(s) had been restored to %1.</numerusform>
            <numerusform>Cancelled: %n file(s) had been restored to %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Restored %n file(s) to %1.</source>
        <translation>
            <numerusform>Restored %n file(s) to %1.</numerusform>
            <numerusform>Restored %n file(s) to %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n left as they were.</source>
        <translation>
            <numerusform>%n left as they were.</numerusform>
            <numerusform>%n left as they were.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Skipped %n special file(s): %1.</source>
        <translation>
            <numerusform>Skipped %n special file: %1.</numerusform>
            <numerusform>Skipped %n special files: %1.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ScheduleSection</name>
    <message numerus="yes">
        <source>every %n hour(s)</source>
        <translation>
            <numerusform>every hour</numerusform>
            <numerusform>every %n hours</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ServerRules</name>
    <message numerus="yes">
        <source>%n damaged file(s) in the backups</source>
        <translation>
            <numerusform>%n damaged file in the backups</numerusform>
            <numerusform>%n damaged files in the backups</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StatusReport</name>
    <message numerus="yes">
        <source>backups checked %1: %n damaged file(s)</source>
        <translation>
            <numerusform>backups checked %1: %n damaged file</numerusform>
            <numerusform>backups checked %1: %n damaged files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n day(s) behind</source>
        <translation>
            <numerusform>%n day behind</numerusform>
            <numerusform>%n days behind</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TidewellApp</name>
    <message numerus="yes">
        <source>%n daily schedule(s) now start within %1 minutes of their time.</source>
        <translation>
            <numerusform>%n daily schedule(s) now start within %1 minutes of their time.</numerusform>
            <numerusform>%n daily schedule(s) now start within %1 minutes of their time.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n daily schedule(s) now start on time.</source>
        <translation>
            <numerusform>%n daily schedule(s) now start on time.</numerusform>
            <numerusform>%n daily schedule(s) now start on time.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Updated %n daily schedule(s) to start %1.</source>
        <translation>
            <numerusform>Updated %n daily schedule to start %1.</numerusform>
            <numerusform>Updated %n daily schedules to start %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Could not update %1 schedule(s): %2 (and %n more)</source>
        <translation>
            <numerusform>Could not update %1 schedule(s): %2 (and %n more)</numerusform>
            <numerusform>Could not update %1 schedule(s): %2 (and %n more)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n backups are running. Cancel them and quit?</source>
        <translation>
            <numerusform>%n backup is running. Cancel it and quit?</numerusform>
            <numerusform>%n backups are running. Cancel them and quit?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n backups are running: %1. Cancel them and quit?</source>
        <translation>
            <numerusform>%n backup is running: %1. Cancel it and quit?</numerusform>
            <numerusform>%n backups are running: %1. Cancel them and quit?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Tidewell quits when %n backups have finished.</source>
        <translation>
            <numerusform>Tidewell quits when %n backup has finished.</numerusform>
            <numerusform>Tidewell quits when %n backups have finished.</numerusform>
        </translation>
    </message>
</context>
</TS>
