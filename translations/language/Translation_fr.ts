<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en_US">
<context>
    <name>CompressSettingWidget</name>
    <message>
        <source>Compress Setting</source>
        <translation>Paramètres de compression</translation>
    </message>
    <message>
        <source>Apply to all</source>
        <translation>Appliquer à tous</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Small File Size</source>
        <translation>Fichier de petite taille</translation>
    </message>
    <message>
        <source>High compression, low quality.</source>
        <translation>Compression élevée, qualité faible.</translation>
    </message>
    <message>
        <source>Medium File Size</source>
        <translation>Fichier de taille moyenne</translation>
    </message>
    <message>
        <source>Medium compression, medium quality.</source>
        <translation>Compression moyenne, qualité moyenne.</translation>
    </message>
    <message>
        <source>Large File Size</source>
        <translation>Fichier de grande taille</translation>
    </message>
    <message>
        <source>Low compression, high quality.</source>
        <translation>Compression faible, qualité élevée.</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Personnalisé</translation>
    </message>
    <message>
        <source>Small Size</source>
        <translation>Petite taille</translation>
    </message>
    <message>
        <source>Large Size</source>
        <translation>Grande taille</translation>
    </message>
</context>
<context>
    <name>CustomWindowFrame</name>
    <message>
        <source>Product FAQ</source>
        <translation>FAQ du produit</translation>
    </message>
    <message>
        <source>Feedback and Support</source>
        <translation>Commentaires et assistance</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Rechercher des mises à jour</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Langue</translation>
    </message>
    <message>
        <source>Show Log in Explorer</source>
        <translation>Afficher le journal</translation>
    </message>
</context>
<context>
    <name>EnterPassword</name>
    <message>
        <source>Password</source>
        <translation>Mot de passe</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Print password</source>
        <translation>Mot de passe d&apos;impression</translation>
    </message>
    <message>
        <source>Incorrect Password</source>
        <translation>Mot de passe incorrect</translation>
    </message>
    <message>
        <source>Open password</source>
        <translation>Mot de passe d&apos;ouverture</translation>
    </message>
</context>
<context>
    <name>FileItemWidget</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>name</source>
        <translation>nom</translation>
    </message>
    <message>
        <source>size</source>
        <translation>taille</translation>
    </message>
    <message>
        <source>pages</source>
        <translation>pages</translation>
    </message>
    <message>
        <source>%1 Pages</source>
        <translation>%1 Pages</translation>
    </message>
</context>
<context>
    <name>GLanguage</name>
    <message>
        <source>Error network, please check your connection!</source>
        <translation>Erreur de réseau, vérifiez votre connexion !</translation>
    </message>
    <message>
        <source>The program gets crashed.</source>
        <translation>Le programme a cessé de fonctionner.</translation>
    </message>
    <message>
        <source>Please send the crash report to the developer. (%1)</source>
        <translation>Veuillez envoyer le rapport de plantage au développeur. (%1)</translation>
    </message>
    <message>
        <source>is currently the newest version available.</source>
        <translation>est actuellement la plus récente version disponible.</translation>
    </message>
    <message>
        <source>Requests are too frequent, please try again later.</source>
        <translation>Les demandes sont trop fréquentes, veuillez réessayer plus tard.</translation>
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
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Retirer</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Vider</translation>
    </message>
    <message>
        <source>To get started, please drag and drop files here or add them by clicking + button.</source>
        <translation>Pour commencer, glissez vos fichiers ici ou ajoutez-les avec le bouton&#xa0;+.</translation>
    </message>
    <message>
        <source>Output Folder</source>
        <translation>Dossier de sortie</translation>
    </message>
    <message>
        <source>Compress</source>
        <translation>Compresser</translation>
    </message>
    <message>
        <source>Select Files</source>
        <translation>Sélectionner des fichiers</translation>
    </message>
    <message>
        <source>Select output folder</source>
        <translation>Sélectionner le dossier de sortie</translation>
    </message>
</context>
<context>
    <name>MultiLanguage</name>
    <message>
        <source>Language</source>
        <translation>Langue</translation>
    </message>
</context>
<context>
    <name>QAbout</name>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>More Info</source>
        <translation>Plus d&apos;infos</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Copyright %1 %2 Tamrik. All rights reserved.</source>
        <translation>Copyright %1 %2 Tamrik. Tous droits réservés.</translation>
    </message>
</context>
<context>
    <name>QNetWorkProcess</name>
    <message>
        <source>Software Update</source>
        <translation>Mise à jour du logiciel</translation>
    </message>
    <message>
        <source>Attention</source>
        <translation>Attention</translation>
    </message>
    <message>
        <source>A new version of %1 is available! <byte value="xd"/>
%1 %2 is now available---you have %3. Would you like to download it now?</source>
        <translation>Une nouvelle version de %1 est disponible&#xa0;!<byte value="xd"/>
%1 %2 est disponible (vous avez la version %3). Voulez-vous la télécharger maintenant&#xa0;?</translation>
    </message>
</context>
</TS>
