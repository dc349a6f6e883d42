<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="en_US">
<context>
    <name>CompressSettingWidget</name>
    <message>
        <source>Compress Setting</source>
        <translation>Impostazioni di compressione</translation>
    </message>
    <message>
        <source>Apply to all</source>
        <translation>Applica a tutti</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Small File Size</source>
        <translation>File di piccole dimensioni</translation>
    </message>
    <message>
        <source>High compression, low quality.</source>
        <translation>Compressione alta, qualità bassa.</translation>
    </message>
    <message>
        <source>Medium File Size</source>
        <translation>File di medie dimensioni</translation>
    </message>
    <message>
        <source>Medium compression, medium quality.</source>
        <translation>Compressione media, qualità media.</translation>
    </message>
    <message>
        <source>Large File Size</source>
        <translation>File di grandi dimensioni</translation>
    </message>
    <message>
        <source>Low compression, high quality.</source>
        <translation>Compressione bassa, qualità alta.</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Personalizzato</translation>
    </message>
    <message>
        <source>Small Size</source>
        <translation>Più piccolo</translation>
    </message>
    <message>
        <source>Large Size</source>
        <translation>Più grande</translation>
    </message>
</context>
<context>
    <name>CustomWindowFrame</name>
    <message>
        <source>Product FAQ</source>
        <translation>Domande frequenti</translation>
    </message>
    <message>
        <source>Feedback and Support</source>
        <translation>Feedback e assistenza</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Controlla aggiornamenti</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Informazioni</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Lingua</translation>
    </message>
    <message>
        <source>Show Log in Explorer</source>
        <translation>Mostra il log</translation>
    </message>
</context>
<context>
    <name>EnterPassword</name>
    <message>
        <source>Password</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Print password</source>
        <translation>Password di stampa</translation>
    </message>
    <message>
        <source>Incorrect Password</source>
        <translation>Password errata</translation>
    </message>
    <message>
        <source>Open password</source>
        <translation>Password di apertura</translation>
    </message>
</context>
<context>
    <name>FileItemWidget</name>
    <message>
        <source>Form</source>
        <translation>Modulo</translation>
    </message>
    <message>
        <source>name</source>
        <translation>nome</translation>
    </message>
    <message>
        <source>size</source>
        <translation>dimensione</translation>
    </message>
    <message>
        <source>pages</source>
        <translation>pagine</translation>
    </message>
    <message>
        <source>%1 Pages</source>
        <translation>%1 Pagine</translation>
    </message>
</context>
<context>
    <name>GLanguage</name>
    <message>
        <source>Error network, please check your connection!</source>
        <translation>Errore di rete, controlla la tua connessione!</translation>
    </message>
    <message>
        <source>The program gets crashed.</source>
        <translation>Il programma si è arrestato in modo anomalo.</translation>
    </message>
    <message>
        <source>Please send the crash report to the developer. (%1)</source>
        <translation>Invia il rapporto sull&apos;arresto anomalo allo sviluppatore.(%1)</translation>
    </message>
    <message>
        <source>is currently the newest version available.</source>
        <translation>è al momento la versione più recente disponibile.</translation>
    </message>
    <message>
        <source>Requests are too frequent, please try again later.</source>
        <translation>Richieste troppo frequenti, per favore riprova più tardi.</translation>
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
        <translation>Aggiungi</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Rimuovi</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Svuota</translation>
    </message>
    <message>
        <source>To get started, please drag and drop files here or add them by clicking + button.</source>
        <translation>Per iniziare, trascina qui i file oppure aggiungili con il pulsante +.</translation>
    </message>
    <message>
        <source>Output Folder</source>
        <translation>Cartella di output</translation>
    </message>
    <message>
        <source>Compress</source>
        <translation>Comprimi</translation>
    </message>
    <message>
        <source>Select Files</source>
        <translation>Seleziona file</translation>
    </message>
    <message>
        <source>Select output folder</source>
        <translation>Seleziona la cartella di output</translation>
    </message>
</context>
<context>
    <name>MultiLanguage</name>
    <message>
        <source>Language</source>
        <translation>Lingua</translation>
    </message>
</context>
<context>
    <name>QAbout</name>
    <message>
        <source>About</source>
        <translation>Informazioni</translation>
    </message>
    <message>
        <source>More Info</source>
        <translation>Scopri di più</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Versione %1</translation>
    </message>
    <message>
        <source>Copyright %1 %2 Tamrik. All rights reserved.</source>
        <translation>Copyright %1 %2 Tamrik. Tutti i diritti riservati.</translation>
    </message>
</context>
<context>
    <name>QNetWorkProcess</name>
    <message>
        <source>Software Update</source>
        <translation>Aggiornamento software</translation>
    </message>
    <message>
        <source>Attention</source>
        <translation>Attenzione</translation>
    </message>
    <message>
        <source>A new version of %1 is available! <byte value="xd"/>
%1 %2 is now available---you have %3. Would you like to download it now?</source>
        <translation>È disponibile una nuova versione di %1!<byte value="xd"/>
%1 %2 è ora disponibile (la tua versione è la %3). Vuoi scaricarla adesso?</translation>
    </message>
</context>
</TS>
