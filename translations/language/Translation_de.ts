<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
<context>
    <name>CompressSettingWidget</name>
    <message>
        <source>Compress Setting</source>
        <translation>Komprimierungseinstellungen</translation>
    </message>
    <message>
        <source>Apply to all</source>
        <translation>Auf alle anwenden</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Small File Size</source>
        <translation>Kleine Dateigröße</translation>
    </message>
    <message>
        <source>High compression, low quality.</source>
        <translation>Hohe Komprimierung, geringe Qualität.</translation>
    </message>
    <message>
        <source>Medium File Size</source>
        <translation>Mittlere Dateigröße</translation>
    </message>
    <message>
        <source>Medium compression, medium quality.</source>
        <translation>Mittlere Komprimierung, mittlere Qualität.</translation>
    </message>
    <message>
        <source>Large File Size</source>
        <translation>Große Dateigröße</translation>
    </message>
    <message>
        <source>Low compression, high quality.</source>
        <translation>Geringe Komprimierung, hohe Qualität.</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Benutzerdefiniert</translation>
    </message>
    <message>
        <source>Small Size</source>
        <translation>Kleine Datei</translation>
    </message>
    <message>
        <source>Large Size</source>
        <translation>Große Datei</translation>
    </message>
</context>
<context>
    <name>CustomWindowFrame</name>
    <message>
        <source>Product FAQ</source>
        <translation>Häufige Fragen</translation>
    </message>
    <message>
        <source>Feedback and Support</source>
        <translation>Feedback und Support</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Nach Updates suchen</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>Show Log in Explorer</source>
        <translation>Protokoll anzeigen</translation>
    </message>
</context>
<context>
    <name>EnterPassword</name>
    <message>
        <source>Password</source>
        <translation>Kennwort</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Print password</source>
        <translation>Kennwort zum Drucken</translation>
    </message>
    <message>
        <source>Incorrect Password</source>
        <translation>Falsches Kennwort</translation>
    </message>
    <message>
        <source>Open password</source>
        <translation>Kennwort zum Öffnen</translation>
    </message>
</context>
<context>
    <name>FileItemWidget</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>pages</source>
        <translation>Seiten</translation>
    </message>
    <message>
        <source>%1 Pages</source>
        <translation>%1 Seiten</translation>
    </message>
</context>
<context>
    <name>GLanguage</name>
    <message>
        <source>Error network, please check your connection!</source>
        <translation>Fehler im Netzwerk, bitte überprüfen Sie Ihre Verbindung!</translation>
    </message>
    <message>
        <source>The program gets crashed.</source>
        <translation>Das Programm ist abgestürzt.</translation>
    </message>
    <message>
        <source>Please send the crash report to the developer. (%1)</source>
        <translation>Bitte schicken Sie den Absturzbericht an den Entwickler.(%1)</translation>
    </message>
    <message>
        <source>is currently the newest version available.</source>
        <translation>ist derzeit die neueste verfügbare Version.</translation>
    </message>
    <message>
        <source>Requests are too frequent, please try again later.</source>
        <translation>Die Anfragen sind zu häufig, bitte versuchen Sie es später noch einmal.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Tamrik Title</source>
        <translation></translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>To get started, please drag and drop files here or add them by clicking + button.</source>
        <translation>Ziehen Sie Dateien hierher oder fügen Sie sie mit der Schaltfläche&#xa0;+ hinzu.</translation>
    </message>
    <message>
        <source>Output Folder</source>
        <translation>Ausgabeordner</translation>
    </message>
    <message>
        <source>Compress</source>
        <translation>Komprimieren</translation>
    </message>
    <message>
        <source>Select Files</source>
        <translation>Dateien auswählen</translation>
    </message>
    <message>
        <source>Select output folder</source>
        <translation>Ausgabeordner auswählen</translation>
    </message>
</context>
<context>
    <name>MultiLanguage</name>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
</context>
<context>
    <name>QAbout</name>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>More Info</source>
        <translation>Weitere Infos</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Copyright %1 %2 Tamrik. All rights reserved.</source>
        <translation>Copyright %1 %2 Tamrik. Alle Rechte vorbehalten.</translation>
    </message>
</context>
<context>
    <name>QNetWorkProcess</name>
    <message>
        <source>Software Update</source>
        <translation>Softwareaktualisierung</translation>
    </message>
    <message>
        <source>Attention</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>A new version of %1 is available! <byte value="xd"/>
%1 %2 is now available---you have %3. Would you like to download it now?</source>
        <translation>Eine neue Version von %1 ist verfügbar!<byte value="xd"/>
%1 %2 ist jetzt verfügbar – Sie haben Version %3. Möchten Sie sie jetzt herunterladen?</translation>
    </message>
</context>
</TS>
