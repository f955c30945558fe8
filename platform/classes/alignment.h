#pragma once
// How text sits across its box: a label's caption, a field's column, an edit's text.

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
