#pragma once
// The product speaks Spanish, and so must the texts Qt draws itself: the buttons of message
// boxes, the file, print and page setup dialogs. Qt's own Spanish catalogues (qtbase_es.qm and
// its kin, in Qt's translations folder) are installed on the application object.

// Loads Qt's Spanish texts once per application; false when the catalogue is not on the
// machine (Qt then shows its English texts). Call it after the application object is made.
bool loadQtSpanishTranslations();
