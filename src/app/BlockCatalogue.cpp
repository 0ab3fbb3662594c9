// filled by the catalogue
