#pragma once
// The current company's country as the suite keeps it with its company data: the company list's
// COD_PAIS read as an integer, so a company without a country reads as country 0. The master form
// and the command line's workstation both read it here.

class TDataSet;

// The country of `company` in `companies` (opened when closed). A company missing from the list
// is refused with a message that names it.
int companyCountryCode(TDataSet &companies, int company);
