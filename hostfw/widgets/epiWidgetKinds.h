#pragma once

// Adds the factory kinds of the widgets ('iBim', 'iBfi', 'iBrt', 'iBrr',
// 'iBsc', 'iBbt', 'iBck', 'iBrd', 'iBct', 'iBci', 'iBbi', 'iBlm', the texts 'iBst', 'iBtr',
// 'iBwt', 'iBrs', and the code-drawn
// 'iDim', 'iDbt', 'iDck', 'iDkn', 'iDlv') for every application.
void epiRegisterWidgetKinds();
