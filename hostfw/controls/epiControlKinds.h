#pragma once

// Adds the factory kinds of the controls ('iSbt', 'iSpu', 'iSpa', 'iSst',
// 'iSrt', 'iSrx', 'iSet', 'iSsc', 'iSrd', 'iSck', 'iSpb') and gives windows
// with a menu bar their strip. The file dialog answers the paths' dialogs once
// the program installs it (epiFileDialog::install).
void epiRegisterControlKinds();
