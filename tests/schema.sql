-- The shared tables as the trainer uses them; column order matters where inserts fill by position.
SET NAMES utf8mb4;

CREATE TABLE kelm_user (
    u_id INT AUTO_INCREMENT PRIMARY KEY,
    u_truename VARCHAR(64) NOT NULL UNIQUE,
    u_email VARCHAR(128) DEFAULT NULL,
    u_password CHAR(32) DEFAULT NULL,
    u_jilu INT DEFAULT 0,
    u_totaljilu INT DEFAULT 0,
    u_totaljs INT DEFAULT 0,
    u_totalsj DOUBLE DEFAULT 0,
    u_totalzs INT DEFAULT 0,
    u_avedayjilu INT DEFAULT 0,
    u_avejj VARCHAR(16) DEFAULT '0',
    u_avemc VARCHAR(16) DEFAULT '0',
    u_gdtime VARCHAR(10) DEFAULT NULL,
    u_regtime INT DEFAULT 0,
    u_title VARCHAR(64) DEFAULT NULL,
    u_srf VARCHAR(64) DEFAULT NULL
) DEFAULT CHARSET = utf8mb4;

CREATE TABLE kelm_text (
    a_id INT AUTO_INCREMENT PRIMARY KEY,
    a_name VARCHAR(255) NOT NULL,
    a_content MEDIUMTEXT,
    a_time INT DEFAULT 0,
    a_from VARCHAR(128) DEFAULT NULL,
    a_ip VARCHAR(64) DEFAULT NULL,
    a_username VARCHAR(64) DEFAULT NULL,
    a_gdnum INT DEFAULT 0
) DEFAULT CHARSET = utf8mb4;

CREATE TABLE kelm_rank (
    r_id INT AUTO_INCREMENT PRIMARY KEY,
    r_text VARCHAR(255),
    r_username VARCHAR(64),
    r_sd DOUBLE,
    r_jj DOUBLE,
    r_mc DOUBLE,
    r_zs INT,
    r_sj VARCHAR(32),
    r_hg INT,
    r_hc INT,
    r_js INT,
    r_jz VARCHAR(16),
    r_cd INT,
    r_dc VARCHAR(16),
    r_cz INT,
    r_time INT,
    r_from VARCHAR(128),
    r_ip VARCHAR(64)
) DEFAULT CHARSET = utf8mb4;

CREATE TABLE kelm_version (
    v_id INT AUTO_INCREMENT PRIMARY KEY,
    v_version VARCHAR(32),
    v_time INT
) DEFAULT CHARSET = utf8mb4;

CREATE TABLE kelm_bmsearch (
    id INT AUTO_INCREMENT PRIMARY KEY,
    dz VARCHAR(8),
    num INT DEFAULT 0
) DEFAULT CHARSET = utf8mb4;
