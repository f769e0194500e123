#pragma once

// Adds the factory kinds of the controls ('iSbt', 'iSpu', 'iSpa', 'iSst',
// 'iSrt', 'iSrx', 'iSet', 'iSsc', 'iSrd', 'iSck', 'iSpb'), gives windows with
// a menu bar their strip and makes the file dialog window answer the paths'
// open and save dialogs.
void epiRegisterControlKinds();
